#include "QtPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

std::optional<QString> QtPlatform::ChooseInputFile(QWidget* owner, const QString& initialFolder) {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QDir::current().absoluteFilePath(initialFolder));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString QtPlatform::ChooseSaveFile(QWidget* owner, const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, QString(), suggested);
}

Platform::Answer QtPlatform::ShowMessageBox(QWidget* owner, const QString& text,
                                            const QString& caption, Icon icon, Buttons buttons,
                                            const QString& details) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case Icon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    }
    // The window joins a two-line text with a lone CR, as its notices always
    // have; a Qt label breaks lines only at LF, so the CR becomes one here.
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (buttons == Buttons::Ok) {
        QMessageBox box(boxIcon, caption, shown, QMessageBox::Ok, owner);
        box.setInformativeText(details);
        box.exec();
        return Answer::Ok;
    }
    QMessageBox box(boxIcon, caption, shown, QMessageBox::Yes | QMessageBox::No, owner);
    box.setInformativeText(details);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtPlatform::RunProgram(const QString& program, const QString& argument) {
    // The argument goes over whole, blanks and all: there is no command line
    // for the program to put a split path back together from.
    QStringList arguments;
    if (!argument.isEmpty())
        arguments << argument;
    QProcess::startDetached(FindProgram(program), arguments);
}

QString QtPlatform::ExecutablePath() const {
    return QCoreApplication::applicationFilePath();
}

bool QtPlatform::ProgramFound(const QString& program) const { return !LocateProgram(program).isEmpty(); }

QString QtPlatform::FindProgram(const QString& name) {
    const QString found = LocateProgram(name);
    return found.isEmpty() ? name : found;
}

QString QtPlatform::LocateProgram(const QString& name) {
    for (const QString& folder : {QCoreApplication::applicationDirPath(), QDir::currentPath()}) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}
