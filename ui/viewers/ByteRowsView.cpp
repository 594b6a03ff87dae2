#include "ByteRowsView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "CallRecordBlock.h"
#include "FileSource.h"

namespace {

const QColor kHeaderBackground(0xE8, 0xE8, 0xE8);
const QColor kSelection(0xB4, 0xD5, 0xFE);
const QColor kBlockHeaderBackground(0xF4, 0xF0, 0xE0);
const QColor kTrailingBackground(0xF8, 0xE8, 0xE8);
// Fields alternate between two inks so their borders show; field 13 has its own.
const QColor kFieldInks[2] = {QColor(0x10, 0x10, 0x10), QColor(0x20, 0x40, 0xA0)};
const QColor kBinaryInk(0xA0, 0x30, 0x20);
const QColor kLabelInk(0x70, 0x70, 0x70);

}  // namespace

ByteRowsView::ByteRowsView(std::shared_ptr<FileSource> source, ByteDecoding decoding, QWidget* parent)
    : RowScrollArea(parent),
      source_(std::move(source)),
      decoding_(decoding),
      layout_(ByteRowLayout::DefaultFor(source_->Size()), source_->Size()) {
    SetRowCount(layout_.RowCount());
    SetContentWidth(Column(ColumnsOf().end));
}

void ByteRowsView::SetLayoutKind(ByteRowLayout::Kind kind) {
    const std::uint64_t topOffset = layout_.RowCount() ? layout_.RowAt(TopRow()).Offset : 0;
    layout_ = ByteRowLayout(kind, source_->Size());
    SetRowCount(layout_.RowCount());
    SetContentWidth(Column(ColumnsOf().end));
    SetTopRow(layout_.RowOf(topOffset));
    viewport()->update();
}

void ByteRowsView::SetSideBySide(bool on) {
    sideBySide_ = on;
    SetContentWidth(Column(ColumnsOf().end));
    viewport()->update();
}

void ByteRowsView::Reload() {
    source_->Reload();
    const std::uint64_t size = source_->Size();
    const std::uint64_t topOffset = layout_.RowCount() ? layout_.RowAt(TopRow()).Offset : 0;
    layout_ = ByteRowLayout(layout_.LayoutKind(), size);
    SetRowCount(layout_.RowCount());
    SetTopRow(layout_.RowOf(topOffset));
    const std::uint64_t last = size ? size - 1 : 0;
    Select(std::min(anchor_, last), std::min(cursor_, last));
    viewport()->update();
}

void ByteRowsView::GoTo(std::uint64_t offset) {
    const std::uint64_t last = source_->Size() ? source_->Size() - 1 : 0;
    offset = std::min(offset, last);
    Select(offset, offset);
    SetTopRow(layout_.RowOf(offset));
}

void ByteRowsView::Select(std::uint64_t anchor, std::uint64_t cursor) {
    anchor_ = anchor;
    cursor_ = cursor;
    viewport()->update();
    emit CursorMoved();
}

bool ByteRowsView::FitWidth(int pixels) {
    QFont smaller = font();
    while (PreferredWidth() > pixels && smaller.pointSizeF() - 0.5 >= kSmallestPoints) {
        smaller.setPointSizeF(smaller.pointSizeF() - 0.5);
        SetRowFont(smaller);
        SetContentWidth(Column(ColumnsOf().end));
    }
    return PreferredWidth() <= pixels;
}

ByteRowsView::Columns ByteRowsView::ColumnsOf() const {
    const bool records = layout_.LayoutKind() == ByteRowLayout::Kind::Records;
    Columns c{};
    c.label = 0;
    c.hex = records ? 27 : 12;
    const int hexWidth = records ? 120 + 13 : 16 * 3;
    c.text = c.hex + hexWidth + 2;
    const int textWidth = records ? 60 + 4 + 13 : 16;
    c.text2 = c.text + textWidth + 2;
    c.end = (sideBySide_ ? c.text2 + textWidth : c.text + textWidth) + 1;
    return c;
}

ByteDecoding ByteRowsView::SecondDecoding() const {
    // Beside the chosen decoding, the other one of the two.
    ByteDecoding second = decoding_;
    second.Charset = decoding_.Charset == ByteDecoding::Input::Ebcdic ? ByteDecoding::Input::Ascii
                                                                      : ByteDecoding::Input::Ebcdic;
    return second;
}

std::vector<std::uint8_t> ByteRowsView::ReadRow(const ByteRowLayout::Row& row) const {
    std::vector<std::uint8_t> bytes(row.Length);
    bytes.resize(source_->Read(row.Offset, bytes.data(), bytes.size()));
    return bytes;
}

void ByteRowsView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    painter.fillRect(viewport()->rect(), palette().base());
    const int h = RowHeight();
    const int cw = CharWidth();
    const int ascent = fontMetrics().ascent();
    const int dx = -HorizontalOffset() + cw / 2;
    const Columns col = ColumnsOf();
    const ByteDecoding second = SecondDecoding();

    // One read for all rows on screen: rows tile the file without gaps.
    shown_.clear();
    const std::uint64_t top = TopRow();
    const std::uint64_t count =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(VisibleRows()) + 1, layout_.RowCount() - std::min(top, layout_.RowCount()));
    std::vector<std::uint8_t> bytes;
    std::uint64_t first = 0;
    if (count > 0) {
        first = layout_.RowAt(top).Offset;
        const ByteRowLayout::Row lastRow = layout_.RowAt(top + count - 1);
        bytes.resize(static_cast<std::size_t>(lastRow.Offset + lastRow.Length - first));
        bytes.resize(source_->Read(first, bytes.data(), bytes.size()));
    }
    const std::uint64_t selStart = SelectionStart();
    const std::uint64_t selEnd = SelectionEnd();
    for (std::uint64_t i = 0; i < count; ++i) {
        const ByteRowLayout::Row row = layout_.RowAt(top + i);
        const std::size_t at = static_cast<std::size_t>(row.Offset - first);
        const std::size_t n = at < bytes.size() ? std::min<std::size_t>(row.Length, bytes.size() - at) : 0;
        const std::uint8_t* data = bytes.data() + std::min(at, bytes.size());
        FormattedRow out = FormatByteRow(row, data, n, decoding_);
        std::vector<std::uint16_t> columns2;
        const std::u16string text2 = sideBySide_ ? DecodeByteRow(row, data, n, second, &columns2) : std::u16string();
        const int y = HeaderHeight() + static_cast<int>(i) * h;
        if (row.Kind == ByteRowLayout::RowKind::BlockHeader)
            painter.fillRect(QRect(0, y, viewport()->width(), h), kBlockHeaderBackground);
        else if (row.Kind == ByteRowLayout::RowKind::Trailing)
            painter.fillRect(QRect(0, y, viewport()->width(), h), kTrailingBackground);
        // Selection and cursor behind the glyphs.
        for (std::size_t b = 0; b < n; ++b) {
            const std::uint64_t offset = row.Offset + b;
            const bool selected = offset >= selStart && offset <= selEnd;
            if (!selected && offset != cursor_)
                continue;
            const bool binary = row.Kind == ByteRowLayout::RowKind::Record && FieldOfRecordByte(b) == 13;
            const int glyphs = binary ? 2 : 1;
            const auto span = [&](int column, int n) {
                return QRect(dx + Column(column), y, Column(column + n) - Column(column), h);
            };
            QList<QRect> rects{span(col.hex + out.HexColumn[b], 2)};
            if (!out.Text.empty())
                rects.append(span(col.text + out.TextColumn[b], glyphs));
            if (!text2.empty())
                rects.append(span(col.text2 + columns2[b], glyphs));
            for (const QRect& r : rects) {
                if (selected)
                    painter.fillRect(r, kSelection);
                if (offset == cursor_) {
                    painter.setPen(palette().text().color());
                    painter.drawRect(r.adjusted(0, 0, -1, -1));
                }
            }
        }
        const int baseline = y + ascent;
        painter.setPen(kLabelInk);
        painter.drawText(dx + Column(col.label), baseline, QString::fromLatin1(out.Label));
        if (row.Kind == ByteRowLayout::RowKind::Record) {
            // Field by field, in alternating inks.
            for (std::size_t f = 0; f < kCallRecordFields.size(); ++f) {
                const auto& field = kCallRecordFields[f];
                if (field.Offset >= n)
                    break;
                const std::size_t width = std::min(field.Width, n - field.Offset);
                painter.setPen(f == 12 ? kBinaryInk : kFieldInks[f % 2]);
                painter.drawText(dx + Column(col.hex + out.HexColumn[field.Offset]), baseline,
                                 QString::fromLatin1(out.Hex.substr(out.HexColumn[field.Offset], 2 * width)));
                const auto drawGlyphs = [&](const std::u16string& text, const std::vector<std::uint16_t>& columns,
                                            int start) {
                    if (text.empty())
                        return;
                    const std::size_t from = columns[field.Offset];
                    const std::size_t to = field.Offset + width < n ? columns[field.Offset + width] - 1 : text.size();
                    painter.drawText(dx + Column(start + static_cast<int>(from)), baseline,
                                     QString::fromStdU16String(text.substr(from, to - from)));
                };
                drawGlyphs(out.Text, out.TextColumn, col.text);
                drawGlyphs(text2, columns2, col.text2);
            }
        } else {
            painter.setPen(kFieldInks[0]);
            painter.drawText(dx + Column(col.hex), baseline, QString::fromLatin1(out.Hex));
            painter.drawText(dx + Column(col.text), baseline, QString::fromStdU16String(out.Text));
            painter.drawText(dx + Column(col.text2), baseline, QString::fromStdU16String(text2));
        }
        shown_.push_back(std::move(out));
    }

    // The header line names the columns.
    painter.fillRect(QRect(0, 0, viewport()->width(), h), kHeaderBackground);
    painter.setPen(palette().text().color());
    const QStringList titles = ColumnTitles();
    const int columns[] = {col.label, col.hex, col.text, col.text2};
    for (int i = 0; i < titles.size(); ++i)
        painter.drawText(dx + Column(columns[i]), ascent, titles[i]);
}

QStringList ByteRowsView::ColumnTitles() const {
    const bool records = layout_.LayoutKind() == ByteRowLayout::Kind::Records;
    const bool ebcdicFirst = decoding_.Charset == ByteDecoding::Input::Ebcdic;
    const QString ebcdic = decoding_.Table ? QStringLiteral("EBCDIC") : tr("EBCDIC (no code table)");
    const QString ascii = QStringLiteral("ASCII");
    QStringList titles{records ? tr("Block  Rec  Offset") : tr("Offset"),
                       records ? tr("Hex, fields 1-14 (13 binary)") : tr("Hex"), ebcdicFirst ? ebcdic : ascii};
    if (sideBySide_)
        titles << (ebcdicFirst ? ascii : ebcdic);
    return titles;
}

std::optional<std::uint64_t> ByteRowsView::ByteAt(const QPoint& point) const {
    const auto rowNumber = RowAt(point.y());
    if (!rowNumber)
        return std::nullopt;
    const ByteRowLayout::Row row = layout_.RowAt(*rowNumber);
    const std::vector<std::uint8_t> bytes = ReadRow(row);
    if (bytes.empty())
        return std::nullopt;
    const FormattedRow out = FormatByteRow(row, bytes.data(), bytes.size(), decoding_);
    std::vector<std::uint16_t> columns2;
    if (sideBySide_)
        DecodeByteRow(row, bytes.data(), bytes.size(), SecondDecoding(), &columns2);
    const Columns col = ColumnsOf();
    const int column = ColumnAt(point.x() + HorizontalOffset() - CharWidth() / 2);
    // The last byte whose first column is at or before the click, in the area clicked.
    const auto pick = [&](int start, const std::vector<std::uint16_t>& columns) -> std::optional<std::uint64_t> {
        if (columns.empty() || column < start)
            return std::nullopt;
        std::size_t b = 0;
        while (b + 1 < columns.size() && columns[b + 1] <= column - start)
            ++b;
        return row.Offset + b;
    };
    if (sideBySide_ && column >= col.text2)
        return pick(col.text2, columns2);
    if (column >= col.text)
        return pick(col.text, out.TextColumn);
    if (column >= col.hex)
        return pick(col.hex, out.HexColumn);
    return row.Offset;
}

void ByteRowsView::MoveCursor(std::uint64_t offset, bool extend) {
    const std::uint64_t last = source_->Size() ? source_->Size() - 1 : 0;
    offset = std::min(offset, last);
    Select(extend ? anchor_ : offset, offset);
    EnsureRowVisible(layout_.RowOf(offset));
}

void ByteRowsView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const auto offset = ByteAt(event->position().toPoint()))
        Select(event->modifiers() & Qt::ShiftModifier ? anchor_ : *offset, *offset);
}

void ByteRowsView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (const auto offset = ByteAt(event->position().toPoint()))
        Select(anchor_, *offset);
}

void ByteRowsView::keyPressEvent(QKeyEvent* event) {
    if (layout_.RowCount() == 0)
        return RowScrollArea::keyPressEvent(event);
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const ByteRowLayout::Row row = layout_.RowAt(layout_.RowOf(cursor_));
    const std::uint64_t inRow = cursor_ - row.Offset;
    // The same place in another row, as near as that row allows.
    const auto inRowAt = [&](std::uint64_t rowNumber) {
        const ByteRowLayout::Row other = layout_.RowAt(rowNumber);
        return other.Offset + std::min<std::uint64_t>(inRow, other.Length ? other.Length - 1 : 0);
    };
    const std::uint64_t rowNumber = layout_.RowOf(cursor_);
    const auto page = static_cast<std::uint64_t>(VisibleRows());
    switch (event->key()) {
    case Qt::Key_Left:
        MoveCursor(cursor_ > 0 ? cursor_ - 1 : 0, extend);
        break;
    case Qt::Key_Right:
        MoveCursor(cursor_ + 1, extend);
        break;
    case Qt::Key_Up:
        MoveCursor(inRowAt(rowNumber > 0 ? rowNumber - 1 : 0), extend);
        break;
    case Qt::Key_Down:
        MoveCursor(inRowAt(std::min(rowNumber + 1, layout_.RowCount() - 1)), extend);
        break;
    case Qt::Key_PageUp:
        SetTopRow(TopRow() > page ? TopRow() - page : 0);
        MoveCursor(inRowAt(rowNumber > page ? rowNumber - page : 0), extend);
        break;
    case Qt::Key_PageDown:
        SetTopRow(TopRow() + page);
        MoveCursor(inRowAt(std::min(rowNumber + page, layout_.RowCount() - 1)), extend);
        break;
    case Qt::Key_Home:
        MoveCursor(event->modifiers() & Qt::ControlModifier ? 0 : row.Offset, extend);
        break;
    case Qt::Key_End:
        MoveCursor(event->modifiers() & Qt::ControlModifier ? UINT64_MAX : row.Offset + row.Length - 1, extend);
        break;
    default:
        RowScrollArea::keyPressEvent(event);
    }
}

std::optional<QString> ByteRowsView::SelectionAsHex(std::uint64_t limit) const {
    const std::uint64_t length = SelectionEnd() - SelectionStart() + 1;
    if (source_->Size() == 0 || length > limit)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    bytes.resize(source_->Read(SelectionStart(), bytes.data(), bytes.size()));
    QString hex;
    hex.reserve(static_cast<qsizetype>(bytes.size() * 3));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            hex += QLatin1Char(' ');
        hex += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return hex;
}

std::optional<QString> ByteRowsView::SelectionAsText(std::uint64_t limit) const {
    const std::uint64_t length = SelectionEnd() - SelectionStart() + 1;
    if (source_->Size() == 0 || length > limit)
        return std::nullopt;
    if (!decoding_.Decodes())
        return SelectionAsHex(limit);
    // The glyphs as shown, row by row, without the field borders; field 13 as hex.
    std::u16string text;
    std::uint64_t at = SelectionStart();
    while (at <= SelectionEnd()) {
        const ByteRowLayout::Row row = layout_.RowAt(layout_.RowOf(at));
        const std::vector<std::uint8_t> bytes = ReadRow(row);
        if (bytes.empty())
            break;
        std::vector<std::uint16_t> columns;
        const std::u16string glyphs = DecodeByteRow(row, bytes.data(), bytes.size(), decoding_, &columns);
        const std::size_t from = static_cast<std::size_t>(at - row.Offset);
        const std::size_t to = static_cast<std::size_t>(std::min<std::uint64_t>(SelectionEnd() - row.Offset + 1, bytes.size()));
        for (std::size_t b = from; b < to; ++b) {
            const bool binary = row.Kind == ByteRowLayout::RowKind::Record && FieldOfRecordByte(b) == 13;
            text.append(glyphs.substr(columns[b], binary ? 2 : 1));
        }
        at = row.Offset + bytes.size();
        if (bytes.size() < row.Length)
            break;
    }
    return QString::fromStdU16String(text);
}
