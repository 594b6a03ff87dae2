#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include "FormViewers.h"

class QMainWindow;
class QWidget;

// Our own viewers, which the main window opens where the external programs
// are missing: each a top-level window of its own, several at once, none
// modal. A file that cannot be opened throws IOError before any window exists.
class ViewerOpener final : public FormViewers {
public:
    // Our viewers open beside the window given, covering least of it.
    explicit ViewerOpener(QWidget* beside = nullptr) : beside_(beside) {}
    ~ViewerOpener();
    ViewerOpener(const ViewerOpener&) = delete;
    ViewerOpener& operator=(const ViewerOpener&) = delete;

    // The byte viewer, decoding as given.
    void ViewBytes(const std::string& path, ByteDecoding decoding) override;
    void ViewText(const std::string& path) override;
    // The record browser on path in layout (recognised when not given),
    // EBCDIC records recoded through table.
    void Select(const std::string& path, std::optional<RecordLayout> layout, const CodeTable* table) override;

    // The viewers still open, oldest first.
    QList<QMainWindow*> Windows() const;
    void CloseAll();

private:
    void Show(QMainWindow* window);

    QWidget* beside_;
    QList<QPointer<QMainWindow>> windows_;
};
