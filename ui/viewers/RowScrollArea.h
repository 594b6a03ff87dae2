#pragma once

#include <QAbstractScrollArea>

#include <cstdint>
#include <optional>

#include "RowScrollMapper.h"

// A scroll area of uniform rows under a fixed header line, whose first
// shown row is a 64-bit number. The vertical bar is an int, so past 2^30
// rows its value is scaled (RowScrollMapper); arrows, wheel and keys still
// move by whole rows. Subclasses paint the rows from TopRow().
class RowScrollArea : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit RowScrollArea(QWidget* parent = nullptr);

    std::uint64_t TopRow() const { return top_; }
    std::uint64_t RowCount() const { return rows_; }
    // Rows that fit wholly below the header, at least 1.
    int VisibleRows() const;
    void SetTopRow(std::uint64_t row);
    // Scrolls as little as needed to show row.
    void EnsureRowVisible(std::uint64_t row);

signals:
    void TopRowChanged();

protected:
    // The rows' font; the character advance and the bars follow it.
    void SetRowFont(const QFont& rowFont);
    void SetRowCount(std::uint64_t rows);
    // The width of the widest content, for the horizontal bar.
    void SetContentWidth(int pixels);
    int RowHeight() const;
    int CharWidth() const;
    // Where character column n starts, in pixels: glyph advances may be
    // fractional, and a whole string drawn at once spreads them exactly so.
    int Column(qsizetype n) const { return qRound(static_cast<qreal>(n) * advance_); }
    // The column under x pixels.
    int ColumnAt(int x) const { return x < 0 ? -1 : static_cast<int>(x / advance_); }
public:
    // The width the rows need, frame and bar included.
    int PreferredWidth() const;
protected:
    int HeaderHeight() const { return RowHeight(); }
    int HorizontalOffset() const;
    // The row under a point of the viewport; nothing on the header or past the last row.
    std::optional<std::uint64_t> RowAt(int y) const;

    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateBars();
    void OnBarAction(int action);
    void OnBarValue(int value);

    std::uint64_t rows_ = 0;
    std::uint64_t top_ = 0;
    int contentWidth_ = 0;
    qreal advance_ = 8;
    RowScrollMapper mapper_;
    bool syncing_ = false;
    std::optional<std::uint64_t> pendingTop_;
};
