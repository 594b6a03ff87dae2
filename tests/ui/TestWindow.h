#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

#include "FakePlatform.h"
#include "Main.h"

class QAbstractButton;

// A main window on the fake platform, created in a fresh working folder
// (with both code tables unless told otherwise) and shown.
class TestWindow {
public:
    // EbcdicAsciiFolder: a folder where "ebcdic-ascii" should be;
    // EbcdicAsciiUnreadable: a link to a device whose reads fail (EIO).
    enum class CodeTables { Both, OnlyEbcdicAscii, None, EbcdicAsciiFolder, EbcdicAsciiUnreadable };

    explicit TestWindow(CodeTables tables = CodeTables::Both);
    ~TestWindow();

    template <typename T = QWidget>
    T* control(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }

    // The text of an edit box, label or button.
    QString text(const char* name) const;

    // Creates a file of size bytes at a path relative to the working folder
    // (folders included) and returns its absolute path.
    QString writeFile(const QString& relative, qint64 size) const;
    QString path(const QString& relative) const { return folder.filePath(relative); }

    // The user picks path in the open-file dialog (nullopt: cancels it).
    void chooseFile(const std::optional<QString>& path);
    // The user clicks an item of one of the two radio groups.
    void clickItem(const char* group, int index);
    // The user clicks a button or a check box.
    void click(const char* name);

    QTemporaryDir folder;
    FakePlatform platform;
    std::unique_ptr<TMAVIKForm> form;

private:
    QString previousFolder = QDir::currentPath();
};
