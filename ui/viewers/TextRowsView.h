#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "LineIndex.h"
#include "RowScrollArea.h"
#include "TextEncoding.h"
#include "TextLines.h"

class FileSource;

// The lines of a text file with their numbers, read-only and monospace.
// Reads only the lines on screen, found through the line index as far as
// it has grown; the first screen needs no index at all. Whole lines are
// selected by mouse or keys; a found match is highlighted.
class TextRowsView final : public RowScrollArea {
    Q_OBJECT

public:
    // The header line over the gutter and the text.
    QString HeaderText() const;
    // Bytes of a line shown at most; a longer line is cut with a marker.
    static constexpr std::size_t kMaxShownBytes = 4096;
    // Bytes read at most to find where a line ends while painting.
    static constexpr std::uint64_t kMaxScan = 4 * 1024 * 1024;

    TextRowsView(std::shared_ptr<FileSource> source, Charset encoding, QWidget* parent = nullptr);

    Charset Encoding() const { return encoding_; }
    // A newer state of the index: the scroll range follows its line count.
    void SetIndex(std::shared_ptr<const LineIndex> index);
    const std::shared_ptr<const LineIndex>& Index() const { return index_; }
    // Lines that can be scrolled to.
    std::uint64_t KnownLines() const;

    std::uint64_t CursorLine() const { return cursor_; }
    void SelectLines(std::uint64_t anchor, std::uint64_t cursor);
    // Goes to a line (from 0), clamped to the known ones.
    void GoToLine(std::uint64_t line);
    // Highlights length bytes at offset, on line, and shows it.
    void ShowMatch(std::uint64_t line, std::uint64_t offset, std::uint64_t length);
    std::optional<std::uint64_t> MatchOffset() const { return matchOffset_; }
    // Where a find starts: after the match, or at the cursor line's start.
    std::uint64_t FindStart(bool backward) const;

    // The selected lines as text, joined by LF; nothing when over the limits.
    std::optional<QString> SelectedText(std::uint64_t maxLines, std::uint64_t maxBytes) const;

    // The lines painted last, with the number of the first.
    const std::vector<TextLine>& ShownLines() const { return shown_; }
    QString ShownText(std::size_t i) const;

signals:
    void CursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The lines from first on, count of them at most.
    std::vector<TextLine> Lines(std::uint64_t first, std::size_t count) const;
    int GutterChars() const;
    void MoveCursor(std::uint64_t line, bool extend);

    std::shared_ptr<FileSource> source_;
    Charset encoding_;
    std::shared_ptr<const LineIndex> index_;
    std::uint64_t anchor_ = 0;
    std::uint64_t cursor_ = 0;
    std::optional<std::uint64_t> matchOffset_;
    std::uint64_t matchLength_ = 0;
    std::uint64_t matchLine_ = 0;
    std::vector<TextLine> shown_;
};
