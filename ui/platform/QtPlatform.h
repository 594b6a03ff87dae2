#pragma once

#include "Platform.h"

// The real dialogs, boxes and processes. The only code that calls
// QFileDialog, QMessageBox or QProcess.
class QtPlatform final : public Platform {
public:
    std::optional<QString> ChooseInputFile(QWidget* owner, const QString& initialFolder) override;
    Answer ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                          Buttons buttons, const QString& details) override;
    void RunProgram(const QString& program, const QString& argument) override;
    QString ExecutablePath() const override;
    bool ProgramFound(const QString& program) const override;

    // Where a bare program name is found: the program's own folder, then the
    // current folder, then PATH; the name itself when none has it.
    static QString FindProgram(const QString& name);
    // The same search; empty when none has it.
    static QString LocateProgram(const QString& name);
    // The save-file dialog, starting at suggested; empty when cancelled.
    // The record browser's export asks it.
    static QString ChooseSaveFile(QWidget* owner, const QString& suggested);
};
