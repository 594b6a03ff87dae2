#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include "ByteRowFormat.h"
#include "CodeTable.h"
#include "RecordLayout.h"

#include <optional>

class Platform;
class QMainWindow;
class QWidget;

// The four external-program operations of the main window. Where the
// program is found it is started as before; where it is missing, MAVIK
// opens its own viewer: each a top-level window of its own, several at
// once, none modal. A file that cannot be opened throws IOError before any
// window exists.
class ViewerOpener {
public:
    static inline const QString kByteViewerProgram = QStringLiteral("Bytora.exe");
    static inline const QString kTextViewerProgram = QStringLiteral("Lindor.exe");
    static inline const QString kSelectionProgram = QStringLiteral("Selmar.exe");

    // Our viewers open beside beside, when given, covering least of it.
    explicit ViewerOpener(Platform& platform, QWidget* beside = nullptr) : platform_(platform), beside_(beside) {}
    ~ViewerOpener();
    ViewerOpener(const ViewerOpener&) = delete;
    ViewerOpener& operator=(const ViewerOpener&) = delete;

    // "Bytora.exe", or the byte viewer decoding as given.
    void ViewBytes(const QString& path, ByteDecoding decoding);
    // "Lindor.exe", or the text viewer.
    void ViewText(const QString& path);
    // "Selmar.exe", or the record browser on path in layout (recognised
    // when not given), EBCDIC records recoded through table.
    void Select(const QString& path, std::optional<RecordLayout> layout, const CodeTable* table);

    // The viewers still open, oldest first.
    QList<QMainWindow*> Windows() const;
    void CloseAll();

private:
    void Show(QMainWindow* window);

    Platform& platform_;
    QWidget* beside_;
    QList<QPointer<QMainWindow>> windows_;
};
