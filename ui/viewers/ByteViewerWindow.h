#pragma once


#include <memory>

#include "ByteRowFormat.h"
#include "ViewerFrame.h"

class ByteRowsView;
class FileSource;
class GoToBar;
class QAction;

// The byte viewer: a top-level window of its own over one file, read-only.
// Records or plain layout, EBCDIC and ASCII side by side on request, go to
// an offset, block or record (Ctrl+G), copy as hex or text, F5 reloads.
class ByteViewerWindow final : public ViewerFrame {
    Q_OBJECT

public:
    // Throws IOError when the file cannot be opened; no window exists then.
    // A decoding without a set reads the glyphs in the set of the tables in
    // the current folder.
    static ByteViewerWindow* Open(const QString& path, ByteDecoding decoding, QWidget* parent = nullptr);

    ByteRowsView* View() const { return view_; }
    QString StatusText() const;
    // Goes to what the user typed into the go-to bar; false when it is no target.
    bool GoTo(const QString& target);

    // The longest selection that copying takes.
    static constexpr std::uint64_t kCopyLimit = 16 * 1024 * 1024;

private:
    ByteViewerWindow(std::shared_ptr<FileSource> source, const QString& path, ByteDecoding decoding, QWidget* parent);
    void UpdateStatus();
    void Copy(bool asHex);
    void Reload();

    std::shared_ptr<FileSource> source_;
    // The viewer's own copy of the table: it may outlive whoever loaded it.
    CodeTable table_{};
    ByteDecoding decoding_;
    ByteRowsView* view_;
    GoToBar* goTo_;
    QAction* records_;
};
