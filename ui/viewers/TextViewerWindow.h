#pragma once

#include <memory>
#include <optional>

#include "TextEncoding.h"
#include "ViewerFrame.h"

class FileSource;
class GoToBar;
class LineIndexJob;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
class TextFindJob;
class TextRowsView;

// The text viewer: a top-level window of its own over one text file,
// read-only. Indexes the lines in the background while the first screen
// is already shown; finds a fixed string in the background (Ctrl+F), goes
// to a line (Ctrl+G), copies the selected lines, F5 reloads. The window's
// thread never waits for either job: a timer looks at their progress.
class TextViewerWindow final : public ViewerFrame {
    Q_OBJECT

protected:
    // A running find is cancelled first, then an open bar closed.
    bool Escape() override;

public:
    // Throws IOError when the file cannot be opened; no window exists then.
    // A file that is not UTF-8 is read in eightBit, the tables' set; when
    // not given, the set of the tables in the current folder.
    static TextViewerWindow* Open(const QString& path, QWidget* parent = nullptr,
                                  std::optional<Charset> eightBit = std::nullopt);
    ~TextViewerWindow() override;

    TextRowsView* View() const { return view_; }
    QString StatusText() const;
    bool Indexing() const;
    bool Finding() const { return find_ != nullptr; }
    // Starts a find of the find bar's text; false when it cannot be looked for.
    bool Find(bool backward);
    void CancelFind();
    bool GoTo(const QString& target);

    static constexpr std::uint64_t kCopyLines = 100000;
    static constexpr std::uint64_t kCopyBytes = 16 * 1024 * 1024;

private:
    TextViewerWindow(std::shared_ptr<FileSource> source, const QString& path, Charset eightBit, QWidget* parent);
    void Poll();
    void UpdateStatus();
    void Reload();
    void StartIndex();
    void Copy();

    std::shared_ptr<FileSource> source_;
    TextRowsView* view_;
    GoToBar* goTo_;
    QWidget* findBar_;
    QLineEdit* findEdit_;
    QCheckBox* matchCase_;
    QPushButton* cancel_;
    QTimer* poll_;
    std::unique_ptr<LineIndexJob> index_;
    std::unique_ptr<TextFindJob> find_;
    std::size_t findLength_ = 0;
    bool findBackward_ = false;
    QString message_;  // the outcome of the last find or copy, until the next
    std::optional<std::uint64_t> pendingTop_;  // a reload's top line, until indexed that far
};
