#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Charset.h"
#include "FieldText.h"
#include "RecordFile.h"
#include "SelectionIndex.h"

// The record table's rows: every record of the file, or the matches of a
// selection, decoded only when a view asks for them. A view keeps per-row
// state and counts rows and pixels in int, so the model holds only the rows
// on screen: a window of them starting at a 64-bit first row, which the
// table's own scroll bar moves.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // set: the tables' character set, the one the fields are shown in.
    RecordTableModel(std::shared_ptr<RecordFile> file, const CodeTable* table, Charset set = Charset::Windows1251,
                     QObject* parent = nullptr);
    Charset TextCharset() const { return set_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Names the columns "N name"; none leaves the numbers.
    void SetFieldNames(std::vector<std::string> names);
    // Field n's title: its number, and its name when there are names.
    QString FieldTitle(int n) const;

    // Shows only these records; nullptr shows them all.
    void SetSelection(std::shared_ptr<const SelectionIndex> selection);
    const std::shared_ptr<const SelectionIndex>& Selection() const { return selection_; }

    // Rows of the whole table (all records or all matches), 64-bit.
    std::uint64_t TotalRows() const;
    // The table row shown as model row 0, and how many rows the window holds.
    std::uint64_t FirstRow() const { return firstRow_; }
    int WindowRows() const { return windowRows_; }
    void SetWindow(std::uint64_t firstRow, int rows);

    // The record number shown at a model row; nothing past the end.
    std::optional<std::uint64_t> RecordAt(int row) const;
    // Field n's text of a record, as the selection compares it.
    std::optional<std::string> FieldOf(std::uint64_t record, int n) const;

    const RecordFile& File() const { return *file_; }
    std::shared_ptr<RecordFile> SharedFile() const { return file_; }
    const CodeTable* Table() const { return table_ ? &*table_ : nullptr; }

private:
    std::shared_ptr<RecordFile> file_;
    Charset set_;
    std::optional<CodeTable> table_;
    FieldReader reader_;
    std::shared_ptr<const SelectionIndex> selection_;
    std::vector<std::string> names_;  // UTF-8
    std::uint64_t firstRow_ = 0;
    int windowRows_ = 64;
};

// Bytes of the tables' character set as shown in a cell:
// control bytes as a middle dot, so that a row stays one line.
QString ShownText(const std::string& bytes, Charset set);
