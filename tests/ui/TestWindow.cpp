#include "TestWindow.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "RadioGroup.h"

TestWindow::TestWindow(CodeTables tables) {
    QDir::setCurrent(folder.path());
    if (tables == CodeTables::EbcdicAsciiFolder)
        QDir(folder.path()).mkdir(QStringLiteral("ebcdic-ascii"));
    else if (tables == CodeTables::EbcdicAsciiUnreadable)
        QFile::link(QStringLiteral("/proc/self/mem"), path(QStringLiteral("ebcdic-ascii")));
    else if (tables != CodeTables::None)
        writeFile(QStringLiteral("ebcdic-ascii"), 256);
    if (tables == CodeTables::Both)
        writeFile(QStringLiteral("ascii-ebcdic"), 256);
    form = std::make_unique<TMAVIKForm>(platform);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("the window was not exposed");
}

TestWindow::~TestWindow() {
    form.reset();
    QDir::setCurrent(previousFolder);
}

QString TestWindow::text(const char* name) const {
    if (auto* edit = control<QLineEdit>(name))
        return edit->text();
    if (auto* label = control<QLabel>(name))
        return label->text();
    return control<QAbstractButton>(name)->text();
}

QString TestWindow::writeFile(const QString& relative, qint64 size) const {
    const QString absolute = folder.filePath(relative);
    QDir().mkpath(QFileInfo(absolute).path());
    QFile file(absolute);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'x')) != size)
        qWarning("cannot write %s", qPrintable(absolute));
    return absolute;
}

void TestWindow::chooseFile(const std::optional<QString>& path) {
    platform.chosenFiles.push_back(path.value_or(QString()));
    click("SelFile1");
}

void TestWindow::clickItem(const char* group, int index) {
    QRadioButton* button = control<RadioGroup>(group)->button(index);
    if (!button) {
        qWarning("%s has no item %d", group, index);
        return;
    }
    // On the round mark: a click elsewhere in the row may miss the text.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void TestWindow::click(const char* name) {
    auto* button = control<QAbstractButton>(name);
    if (!button) {
        qWarning("no button %s", name);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}
