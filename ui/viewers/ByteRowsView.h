#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "ByteRowFormat.h"
#include "ByteRowLayout.h"
#include "RowScrollArea.h"

class FileSource;

// The bytes of a file, a row at a time in the records or the plain layout:
// label, hex and decoded glyphs, optionally EBCDIC and ASCII side by side.
// Reads only the rows on screen. A cursor byte and a selection from an
// anchor byte to it, by mouse or keys.
class ByteRowsView final : public RowScrollArea {
    Q_OBJECT

public:
    // Within pixels where a smaller font, down to kSmallestPoints, makes the
    // rows fit; true when they do.
    bool FitWidth(int pixels);
    static constexpr qreal kSmallestPoints = 7.5;
    // The header line's titles, left to right.
    QStringList ColumnTitles() const;
    ByteRowsView(std::shared_ptr<FileSource> source, ByteDecoding decoding, QWidget* parent = nullptr);

    const ByteRowLayout& Layout() const { return layout_; }
    void SetLayoutKind(ByteRowLayout::Kind kind);
    bool SideBySide() const { return sideBySide_; }
    void SetSideBySide(bool on);

    // Takes the file's size again after it grew or shrank.
    void Reload();
    // Puts the cursor on offset (clamped to the file) and shows its row at the top.
    void GoTo(std::uint64_t offset);

    std::uint64_t Cursor() const { return cursor_; }
    // First and last selected byte.
    std::uint64_t SelectionStart() const { return std::min(anchor_, cursor_); }
    std::uint64_t SelectionEnd() const { return std::max(anchor_, cursor_); }
    void Select(std::uint64_t anchor, std::uint64_t cursor);

    // The selected bytes as hex pairs, or as their glyphs; nothing when
    // the selection is larger than limit bytes.
    std::optional<QString> SelectionAsHex(std::uint64_t limit) const;
    std::optional<QString> SelectionAsText(std::uint64_t limit) const;

    // The formatted rows now on screen (for tests and the status line).
    const std::vector<FormattedRow>& ShownRows() const { return shown_; }

signals:
    void CursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Columns {
        int label, hex, text, text2, end;  // in characters
    };
    Columns ColumnsOf() const;
    ByteDecoding SecondDecoding() const;
    std::vector<std::uint8_t> ReadRow(const ByteRowLayout::Row& row) const;
    // The byte under a viewport point, if any.
    std::optional<std::uint64_t> ByteAt(const QPoint& point) const;
    void MoveCursor(std::uint64_t offset, bool extend);

    std::shared_ptr<FileSource> source_;
    ByteDecoding decoding_;
    ByteRowLayout layout_;
    bool sideBySide_ = false;
    std::uint64_t cursor_ = 0;
    std::uint64_t anchor_ = 0;
    std::vector<FormattedRow> shown_;
};
