#include "RecordTableModel.h"

#include <limits>

#include "CallRecordBlock.h"

QString ShownText(const std::string& bytes, Charset set) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        const char16_t c = CharOfByte(set, b);
        text += (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) ? QChar(0x00B7) : QChar(c);
    }
    return text;
}

RecordTableModel::RecordTableModel(std::shared_ptr<RecordFile> file, const CodeTable* table, Charset set,
                                   QObject* parent)
    : QAbstractTableModel(parent), file_(std::move(file)), set_(set),
      table_(table ? std::optional<CodeTable>(*table) : std::nullopt), reader_(file_->Layout(), Table()) {}

std::uint64_t RecordTableModel::TotalRows() const {
    return selection_ ? selection_->Count() : file_->RecordCount();
}

void RecordTableModel::SetWindow(std::uint64_t firstRow, int rows) {
    firstRow = std::min(firstRow, TotalRows());
    rows = std::max(1, rows);
    const int before = rowCount();
    const int after = static_cast<int>(std::min<std::uint64_t>(TotalRows() - firstRow, static_cast<std::uint64_t>(rows)));
    if (firstRow == firstRow_ && rows == windowRows_)
        return;
    if (before != after) {
        beginResetModel();
        firstRow_ = firstRow;
        windowRows_ = rows;
        endResetModel();
        return;
    }
    // Same rows, other records: the view repaints, keeping its state.
    firstRow_ = firstRow;
    windowRows_ = rows;
    if (after > 0) {
        emit dataChanged(index(0, 0), index(after - 1, kFieldCount - 1));
        emit headerDataChanged(Qt::Vertical, 0, after - 1);
    }
}

void RecordTableModel::SetSelection(std::shared_ptr<const SelectionIndex> selection) {
    beginResetModel();
    selection_ = std::move(selection);
    firstRow_ = 0;
    endResetModel();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<std::uint64_t>(TotalRows() - firstRow_, static_cast<std::uint64_t>(windowRows_)));
}

int RecordTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kFieldCount; }

std::optional<std::uint64_t> RecordTableModel::RecordAt(int row) const {
    const std::uint64_t tableRow = firstRow_ + static_cast<std::uint64_t>(row);
    if (row < 0 || tableRow >= TotalRows())
        return std::nullopt;
    return selection_ ? selection_->Select(tableRow) : tableRow;
}

std::optional<std::string> RecordTableModel::FieldOf(std::uint64_t record, int n) const {
    const std::uint8_t* bytes = nullptr;
    try {
        bytes = file_->Record(record);
    } catch (const std::exception&) {
        return std::nullopt;  // a read error shows as an empty cell
    }
    if (!bytes)
        return std::nullopt;
    return reader_.Text(bytes, n);
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const auto record = RecordAt(index.row());
    if (!record)
        return {};
    const auto text = FieldOf(*record, index.column() + 1);
    if (!text)
        return {};
    return ShownText(*text, set_);
}

void RecordTableModel::SetFieldNames(std::vector<std::string> names) {
    names_ = std::move(names);
    emit headerDataChanged(Qt::Horizontal, 0, kFieldCount - 1);
}

QString RecordTableModel::FieldTitle(int n) const {
    if (names_.size() != kFieldCount)
        return QString::number(n);
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromStdString(names_[static_cast<std::size_t>(n - 1)]));
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // A name may be wider than its column.
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return FieldTitle(section + 1);
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return FieldTitle(section + 1);
    const auto record = RecordAt(section);
    if (!record)
        return {};
    if (file_->Layout().Kind != LayoutKind::Block)
        return QStringLiteral("%1").arg(*record + 1);
    // Numbers from 1: the record, its block, its place in the block.
    return QStringLiteral("%1  (%2/%3)")
        .arg(*record + 1)
        .arg(*record / kRecordsPerBlock + 1)
        .arg(*record % kRecordsPerBlock + 1);
}
