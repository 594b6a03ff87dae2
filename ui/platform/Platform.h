#pragma once

#include <QString>

#include <optional>

#include "FormPlatform.h"

class QWidget;

// Everything the window does that is modal or leaves the process. The
// program passes QtPlatform; tests pass a fake that records what was asked
// and answers from a script.
class Platform {
public:
    using Icon = FormPlatform::Icon;
    using Buttons = FormPlatform::Buttons;  // with Yes and No, Yes is the default
    using Answer = FormPlatform::Answer;

    virtual ~Platform() = default;

    // The open-file dialog: one existing file, starting in initialFolder
    // (relative to the current folder), resizable. Nothing when cancelled.
    virtual std::optional<QString> ChooseInputFile(QWidget* owner, const QString& initialFolder) = 0;

    // A modal message box. A "\r" in text breaks the line. An owner of
    // nullptr makes the box the application's own rather than the window's.
    // details, when not empty, is shown under the text, smaller: the why
    // and the what of a notice whose text stays as users know it.
    virtual Answer ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                  Icon icon, Buttons buttons, const QString& details = {}) = 0;

    // Starts program (a name without a folder) with argument as its one
    // argument (none when empty), without waiting and without reporting
    // whether it started.
    virtual void RunProgram(const QString& program, const QString& argument) = 0;

    // Whether RunProgram would find program (a name without a folder): in
    // the program's own folder, the current folder or on PATH.
    virtual bool ProgramFound(const QString& program) const = 0;

    // The full path of the running program.
    virtual QString ExecutablePath() const = 0;
};
