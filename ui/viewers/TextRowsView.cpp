#include "TextRowsView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "FileSource.h"

namespace {

const QColor kGutterBackground(0xF0, 0xF0, 0xF0);
const QColor kGutterInk(0x80, 0x80, 0x80);
const QColor kSelection(0xB4, 0xD5, 0xFE);
const QColor kMatch(0xFF, 0xD8, 0x40);
const QColor kCutInk(0xC0, 0x20, 0x20);
const char* const kCutMarker = QT_TRANSLATE_NOOP("TextRowsView", " ⟩⟩ line cut");

}  // namespace

TextRowsView::TextRowsView(std::shared_ptr<FileSource> source, Charset encoding, QWidget* parent)
    : RowScrollArea(parent),
      source_(std::move(source)),
      encoding_(encoding),
      index_(std::make_shared<const LineIndex>()) {}

std::uint64_t TextRowsView::KnownLines() const {
    // While indexing, a last line not yet ended is not counted; the file's
    // start is always there to show.
    return std::max<std::uint64_t>(index_->LineCount(), source_->Size() > 0 ? 1 : 0);
}

void TextRowsView::SetIndex(std::shared_ptr<const LineIndex> index) {
    index_ = std::move(index);
    SetRowCount(KnownLines());
    viewport()->update();
}

std::vector<TextLine> TextRowsView::Lines(std::uint64_t first, std::size_t count) const {
    std::vector<TextLine> lines;
    std::uint64_t line = first;
    while (lines.size() < count) {
        const auto start = LineStart(*source_, *index_, line, kMaxScan);
        if (!start)
            break;
        std::vector<TextLine> more = ReadLines(*source_, *start, count - lines.size(), kMaxShownBytes, kMaxScan);
        if (more.empty())
            break;
        line += more.size();
        const bool unended = more.back().EndUnknown;
        for (auto& l : more)
            lines.push_back(std::move(l));
        // Past a line too long to read to its end, the index knows where
        // the next one starts.
        if (!unended)
            break;
    }
    return lines;
}

QString TextRowsView::ShownText(std::size_t i) const {
    const TextLine& line = shown_[i];
    return QString::fromStdU16String(DecodeText(line.Bytes.data(), line.Bytes.size(), encoding_));
}

int TextRowsView::GutterChars() const {
    int digits = 1;
    for (std::uint64_t n = std::max<std::uint64_t>(KnownLines(), TopRow() + VisibleRows()); n >= 10; n /= 10)
        ++digits;
    return std::max(digits, 6) + 1;
}

QString TextRowsView::HeaderText() const {
    return tr("Line   Text (%1)").arg(QString::fromLatin1(CharsetName(encoding_)));
}

void TextRowsView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QString cutMarker = tr(kCutMarker);
    painter.setFont(font());
    painter.fillRect(viewport()->rect(), palette().base());
    const int h = RowHeight();
    const int cw = CharWidth();
    const int ascent = fontMetrics().ascent();
    const int gutter = GutterChars() * cw + cw;
    const int dx = gutter - HorizontalOffset();
    shown_ = Lines(TopRow(), static_cast<std::size_t>(VisibleRows()) + 1);
    const std::uint64_t selFirst = std::min(anchor_, cursor_);
    const std::uint64_t selLast = std::max(anchor_, cursor_);
    int widest = 0;
    painter.setClipRect(QRect(gutter, 0, viewport()->width(), viewport()->height()));
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const TextLine& line = shown_[i];
        const std::uint64_t number = TopRow() + i;
        const int y = HeaderHeight() + static_cast<int>(i) * h;
        if (number >= selFirst && number <= selLast)
            painter.fillRect(QRect(gutter, y, viewport()->width(), h), kSelection);
        const QString text = ShownText(i);
        if (matchOffset_ && number == matchLine_ && *matchOffset_ >= line.Offset &&
            *matchOffset_ < line.Offset + line.Bytes.size()) {
            const auto before = static_cast<std::size_t>(*matchOffset_ - line.Offset);
            const std::size_t length =
                std::min<std::size_t>(static_cast<std::size_t>(matchLength_), line.Bytes.size() - before);
            const auto column = static_cast<int>(DecodeText(line.Bytes.data(), before, encoding_).size());
            const auto width = static_cast<int>(DecodeText(line.Bytes.data() + before, length, encoding_).size());
            painter.fillRect(QRect(dx + Column(column), y, Column(column + width) - Column(column), h), kMatch);
        }
        painter.setPen(palette().text().color());
        painter.drawText(dx, y + ascent, text);
        widest = std::max(widest, static_cast<int>(text.size()));
        if (line.Cut) {
            painter.setPen(kCutInk);
            painter.drawText(dx + Column(text.size()), y + ascent, cutMarker);
            widest = std::max(widest, static_cast<int>(text.size() + cutMarker.size()));
        }
    }
    painter.setClipping(false);
    // The gutter: line numbers from 1.
    painter.fillRect(QRect(0, 0, gutter - cw / 2, viewport()->height()), kGutterBackground);
    painter.setPen(kGutterInk);
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const int y = HeaderHeight() + static_cast<int>(i) * h;
        painter.drawText(QRect(0, y, gutter - cw, h), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(TopRow() + i + 1));
    }
    // The header names the encoding.
    painter.fillRect(QRect(0, 0, viewport()->width(), h), kGutterBackground);
    painter.setPen(palette().text().color());
    painter.drawText(dx + HorizontalOffset() - gutter + cw / 2, ascent,
                     HeaderText());
    SetContentWidth(gutter + Column(widest + 1));
}

void TextRowsView::SelectLines(std::uint64_t anchor, std::uint64_t cursor) {
    anchor_ = anchor;
    cursor_ = cursor;
    viewport()->update();
    emit CursorMoved();
}

void TextRowsView::MoveCursor(std::uint64_t line, bool extend) {
    const std::uint64_t known = KnownLines();
    line = known ? std::min(line, known - 1) : 0;
    SelectLines(extend ? anchor_ : line, line);
    EnsureRowVisible(line);
}

void TextRowsView::GoToLine(std::uint64_t line) {
    const std::uint64_t known = KnownLines();
    line = known ? std::min(line, known - 1) : 0;
    SelectLines(line, line);
    SetTopRow(line);
}

void TextRowsView::ShowMatch(std::uint64_t line, std::uint64_t offset, std::uint64_t length) {
    matchOffset_ = offset;
    matchLength_ = length;
    matchLine_ = line;
    SelectLines(line, line);
    const auto visible = static_cast<std::uint64_t>(VisibleRows());
    if (line < TopRow() || line >= TopRow() + visible)
        SetTopRow(line > visible / 2 ? line - visible / 2 : 0);
    viewport()->update();
}

std::uint64_t TextRowsView::FindStart(bool backward) const {
    if (matchOffset_)
        return backward ? *matchOffset_ : *matchOffset_ + 1;
    const auto start = LineStart(*source_, *index_, cursor_, kMaxScan);
    return start.value_or(0);
}

std::optional<QString> TextRowsView::SelectedText(std::uint64_t maxLines, std::uint64_t maxBytes) const {
    const std::uint64_t first = std::min(anchor_, cursor_);
    const std::uint64_t count = std::max(anchor_, cursor_) - first + 1;
    if (count > maxLines)
        return std::nullopt;
    const auto start = LineStart(*source_, *index_, first);
    if (!start)
        return QString();
    const auto lines = ReadLines(*source_, *start, static_cast<std::size_t>(count),
                                 static_cast<std::size_t>(maxBytes));
    QStringList texts;
    std::uint64_t total = 0;
    for (const TextLine& line : lines) {
        total += line.Bytes.size();
        if (line.Cut || total > maxBytes)
            return std::nullopt;
        texts << QString::fromStdU16String(DecodeText(line.Bytes.data(), line.Bytes.size(), encoding_));
    }
    return texts.join(QLatin1Char('\n'));
}

void TextRowsView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const auto line = RowAt(event->position().toPoint().y()))
        SelectLines(event->modifiers() & Qt::ShiftModifier ? anchor_ : *line, *line);
}

void TextRowsView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (const auto line = RowAt(event->position().toPoint().y()))
        SelectLines(anchor_, *line);
}

void TextRowsView::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const auto page = static_cast<std::uint64_t>(VisibleRows());
    switch (event->key()) {
    case Qt::Key_Up:
        MoveCursor(cursor_ > 0 ? cursor_ - 1 : 0, extend);
        break;
    case Qt::Key_Down:
        MoveCursor(cursor_ + 1, extend);
        break;
    case Qt::Key_PageUp:
        SetTopRow(TopRow() > page ? TopRow() - page : 0);
        MoveCursor(cursor_ > page ? cursor_ - page : 0, extend);
        break;
    case Qt::Key_PageDown:
        SetTopRow(TopRow() + page);
        MoveCursor(cursor_ + page, extend);
        break;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier)
            MoveCursor(0, extend);
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier)
            MoveCursor(UINT64_MAX, extend);
        break;
    default:
        RowScrollArea::keyPressEvent(event);
    }
}
