#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>

class QScrollBar;
class QTableView;
class RecordTableModel;

// The record table: a QTableView (objectName RecordTable) over the model's
// window of rows, and a scroll bar of its own that moves the window
// through 64-bit row numbers, scaled when they exceed the bar's int range.
// Wheel and keys move the window as a table's would.
class RecordTableView : public QWidget {
    Q_OBJECT

public:
    RecordTableView(RecordTableModel* model, QWidget* parent = nullptr);

    QTableView* Table() const { return table_; }
    QScrollBar* ScrollBar() const { return bar_; }
    // Puts row (of the whole table) in view and makes it current.
    void GoToRow(std::uint64_t row);
    // The table row that is current; nothing when none is.
    std::optional<std::uint64_t> CurrentRow() const;
    // After the model's rows changed (a new selection): back to the top.
    void Reset();

signals:
    void CurrentRowChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    void ScrollTo(std::uint64_t firstRow);
    void BarMoved(int value);
    std::uint64_t MaxFirstRow() const;
    int VisibleRows() const;

    RecordTableModel* model_;
    QTableView* table_;
    QScrollBar* bar_;
    bool movingBar_ = false;
};
