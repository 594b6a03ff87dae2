#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

#include "Platform.h"

// Records every box and program start the window asks for and answers from
// prepared queues: a file dialog with nothing queued is cancelled, a box
// with nothing queued gets its first button.
class FakePlatform final : public Platform {
public:
    struct Box {
        bool ownedByWindow = false;
        QString text;
        QString caption;
        Icon icon = Icon::Information;
        Buttons buttons = Buttons::Ok;
    };
    struct Command {
        QString line;  // program, one blank, argument: what the user would see
        QString program;
        QStringList arguments;
    };

    std::optional<QString> ChooseInputFile(QWidget* owner, const QString& initialFolder) override;
    Answer ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                          Buttons buttons) override;
    void RunProgram(const QString& program, const QString& argument) override;
    QString ExecutablePath() const override { return executablePath; }
    bool ProgramFound(const QString& program) const override { return !missingPrograms.contains(program); }

    QString executablePath = QStringLiteral("/opt/mavik/bin/mavik");
    std::deque<QString> chosenFiles;  // a null string: the user cancels
    std::deque<Answer> answers;
    // Programs not installed: the window opens its own viewer instead.
    QStringList missingPrograms;
    // Runs while a box is "open", before it is answered.
    std::function<void(const Box&)> whileBoxOpen;

    int dialogsShown = 0;
    QString dialogFolder;
    QList<Box> boxes;
    QList<Command> commands;
};
