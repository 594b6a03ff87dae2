#include "RowScrollArea.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

RowScrollArea::RowScrollArea(QWidget* parent) : QAbstractScrollArea(parent) {
    SetRowFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &RowScrollArea::OnBarAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &RowScrollArea::OnBarValue);
    UpdateBars();
}

void RowScrollArea::SetRowFont(const QFont& rowFont) {
    setFont(rowFont);
    viewport()->setFont(font());  // the painter's font must be the measured one
    advance_ = std::max<qreal>(1, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')));
    UpdateBars();
}

int RowScrollArea::RowHeight() const { return fontMetrics().height(); }

int RowScrollArea::CharWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0'))); }

int RowScrollArea::PreferredWidth() const {
    return contentWidth_ + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

int RowScrollArea::VisibleRows() const {
    return std::max(1, (viewport()->height() - HeaderHeight()) / std::max(1, RowHeight()));
}

int RowScrollArea::HorizontalOffset() const { return horizontalScrollBar()->value(); }

std::optional<std::uint64_t> RowScrollArea::RowAt(int y) const {
    if (y < HeaderHeight())
        return std::nullopt;
    const std::uint64_t row = top_ + static_cast<std::uint64_t>((y - HeaderHeight()) / RowHeight());
    if (row >= rows_)
        return std::nullopt;
    return row;
}

void RowScrollArea::SetRowCount(std::uint64_t rows) {
    rows_ = rows;
    UpdateBars();
}

void RowScrollArea::SetContentWidth(int pixels) {
    if (pixels == contentWidth_)
        return;
    contentWidth_ = pixels;
    UpdateBars();
}

void RowScrollArea::SetTopRow(std::uint64_t row) {
    row = std::min(row, mapper_.LastTopRow());
    const bool changed = row != top_;
    top_ = row;
    syncing_ = true;
    verticalScrollBar()->setValue(mapper_.ValueOf(top_));
    syncing_ = false;
    if (changed) {
        viewport()->update();
        emit TopRowChanged();
    }
}

void RowScrollArea::EnsureRowVisible(std::uint64_t row) {
    const auto visible = static_cast<std::uint64_t>(VisibleRows());
    if (row < top_)
        SetTopRow(row);
    else if (row >= top_ + visible)
        SetTopRow(row - visible + 1);
}

void RowScrollArea::UpdateBars() {
    const auto visible = static_cast<std::uint64_t>(VisibleRows());
    mapper_ = RowScrollMapper(rows_ > visible ? rows_ - visible : 0);
    QScrollBar* bar = verticalScrollBar();
    syncing_ = true;
    bar->setRange(0, mapper_.Maximum());
    bar->setPageStep(mapper_.Scaled() ? std::max(1, mapper_.Maximum() / 1000) : static_cast<int>(visible));
    bar->setSingleStep(1);
    syncing_ = false;
    top_ = std::min(top_, mapper_.LastTopRow());
    syncing_ = true;
    bar->setValue(mapper_.ValueOf(top_));
    syncing_ = false;
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
    across->setPageStep(viewport()->width());
    across->setSingleStep(CharWidth() * 4);
    viewport()->update();
}

void RowScrollArea::OnBarAction(int action) {
    // Steps and pages move by rows, whatever the scale of the bar.
    const auto visible = static_cast<std::uint64_t>(VisibleRows());
    std::optional<std::uint64_t> target;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        target = top_ + 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        target = top_ > 0 ? top_ - 1 : 0;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target = top_ + visible;
        break;
    case QAbstractSlider::SliderPageStepSub:
        target = top_ > visible ? top_ - visible : 0;
        break;
    default:
        return;
    }
    pendingTop_ = std::min(*target, mapper_.LastTopRow());
    verticalScrollBar()->setSliderPosition(mapper_.ValueOf(*pendingTop_));
}

void RowScrollArea::OnBarValue(int value) {
    if (syncing_)
        return;
    std::uint64_t row = mapper_.RowOf(value);
    if (pendingTop_) {
        row = *pendingTop_;
        pendingTop_.reset();
    }
    if (row != top_) {
        top_ = row;
        viewport()->update();
        emit TopRowChanged();
    }
}

void RowScrollArea::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateBars();
}

void RowScrollArea::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40;  // three rows a notch
    if (steps > 0)
        SetTopRow(top_ > static_cast<std::uint64_t>(steps) ? top_ - steps : 0);
    else if (steps < 0)
        SetTopRow(top_ + static_cast<std::uint64_t>(-steps));
    if (event->angleDelta().x() != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - event->angleDelta().x());
    event->accept();
}

void RowScrollArea::scrollContentsBy(int, int) { viewport()->update(); }
