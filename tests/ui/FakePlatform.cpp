#include "FakePlatform.h"

#include <QWidget>

std::optional<QString> FakePlatform::ChooseInputFile(QWidget*, const QString& initialFolder) {
    ++dialogsShown;
    dialogFolder = initialFolder;
    if (chosenFiles.empty())
        return std::nullopt;
    const QString chosen = chosenFiles.front();
    chosenFiles.pop_front();
    if (chosen.isNull())
        return std::nullopt;
    return chosen;
}

Platform::Answer FakePlatform::ShowMessageBox(QWidget* owner, const QString& text,
                                              const QString& caption, Icon icon,
                                              Buttons buttons, const QString& details) {
    boxes.append({owner != nullptr, text, caption, icon, buttons, details});
    if (whileBoxOpen)
        whileBoxOpen(boxes.back());
    if (answers.empty())
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakePlatform::RunProgram(const QString& program, const QString& argument) {
    commands.append({program + QLatin1Char(' ') + argument, program,
                     argument.isEmpty() ? QStringList() : QStringList{argument}});
}
