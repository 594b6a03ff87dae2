#include "RecordTableView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include <limits>
#include <optional>

#include "RecordTableModel.h"

namespace {
// The bar's range when rows outnumber an int: fine enough for any file.
constexpr int kScaledRange = 1 << 30;
}  // namespace

RecordTableView::RecordTableView(RecordTableModel* model, QWidget* parent)
    : QWidget(parent), model_(model), table_(new QTableView(this)), bar_(new QScrollBar(Qt::Vertical, this)) {
    table_->setObjectName(QStringLiteral("RecordTable"));
    table_->setModel(model);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    bar_->setObjectName(QStringLiteral("RecordScrollBar"));
    connect(bar_, &QScrollBar::valueChanged, this, &RecordTableView::BarMoved);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecordTableView::CurrentRowChanged);
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &RecordTableView::CurrentRowChanged, Qt::UniqueConnection);
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_, 1);
    layout->addWidget(bar_);
    Layout();
}

int RecordTableView::VisibleRows() const {
    const int height = table_->viewport()->height();
    return std::max(1, height / table_->verticalHeader()->defaultSectionSize() + 1);
}

std::uint64_t RecordTableView::MaxFirstRow() const {
    const std::uint64_t total = model_->TotalRows();
    const auto full = static_cast<std::uint64_t>(std::max(1, VisibleRows() - 1));
    return total > full ? total - full : 0;
}

void RecordTableView::Layout() {
    const std::uint64_t maxFirst = MaxFirstRow();
    movingBar_ = true;
    if (maxFirst <= static_cast<std::uint64_t>(kScaledRange)) {
        bar_->setRange(0, static_cast<int>(maxFirst));
        bar_->setValue(static_cast<int>(std::min(model_->FirstRow(), maxFirst)));
    } else {
        bar_->setRange(0, kScaledRange);
        bar_->setValue(static_cast<int>(static_cast<long double>(model_->FirstRow()) * kScaledRange / maxFirst));
    }
    bar_->setPageStep(std::max(1, VisibleRows() - 1));
    bar_->setSingleStep(1);
    movingBar_ = false;
    model_->SetWindow(std::min(model_->FirstRow(), maxFirst), VisibleRows());
}

void RecordTableView::ScrollTo(std::uint64_t firstRow) {
    const std::uint64_t maxFirst = MaxFirstRow();
    firstRow = std::min(firstRow, maxFirst);
    const std::optional<std::uint64_t> current = CurrentRow();
    model_->SetWindow(firstRow, VisibleRows());
    movingBar_ = true;
    bar_->setValue(maxFirst <= static_cast<std::uint64_t>(kScaledRange)
                      ? static_cast<int>(firstRow)
                      : static_cast<int>(static_cast<long double>(firstRow) * kScaledRange / maxFirst));
    movingBar_ = false;
    // The current record stays current while it is in view.
    if (current && *current >= firstRow && *current < firstRow + static_cast<std::uint64_t>(model_->rowCount()))
        table_->setCurrentIndex(model_->index(static_cast<int>(*current - firstRow), std::max(0, table_->currentIndex().column())));
    else
        table_->clearSelection();
    emit CurrentRowChanged();
}

void RecordTableView::BarMoved(int value) {
    if (movingBar_)
        return;
    const std::uint64_t maxFirst = MaxFirstRow();
    const std::uint64_t first = maxFirst <= static_cast<std::uint64_t>(kScaledRange)
                                    ? static_cast<std::uint64_t>(value)
                                    : static_cast<std::uint64_t>(static_cast<long double>(value) * maxFirst / kScaledRange);
    const std::optional<std::uint64_t> current = CurrentRow();
    model_->SetWindow(first, VisibleRows());
    if (current && *current >= first && *current < first + static_cast<std::uint64_t>(model_->rowCount()))
        table_->setCurrentIndex(model_->index(static_cast<int>(*current - first), std::max(0, table_->currentIndex().column())));
    emit CurrentRowChanged();
}

std::optional<std::uint64_t> RecordTableView::CurrentRow() const {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return model_->FirstRow() + static_cast<std::uint64_t>(current.row());
}

void RecordTableView::GoToRow(std::uint64_t row) {
    if (model_->TotalRows() == 0)
        return;
    row = std::min(row, model_->TotalRows() - 1);
    const std::uint64_t first = model_->FirstRow();
    const auto full = static_cast<std::uint64_t>(std::max(1, VisibleRows() - 1));
    if (row < first)
        ScrollTo(row);
    else if (row >= first + full)
        ScrollTo(row - full + 1);
    const int column = std::max(0, table_->currentIndex().column());
    table_->setCurrentIndex(model_->index(static_cast<int>(row - model_->FirstRow()), column));
    emit CurrentRowChanged();
}

void RecordTableView::Reset() {
    model_->SetWindow(0, VisibleRows());
    Layout();
}

void RecordTableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

bool RecordTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Resize) {
        Layout();
        return false;
    }
    if (watched == table_->viewport() && event->type() == QEvent::Wheel) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 40;  // three rows a notch
        const std::uint64_t first = model_->FirstRow();
        ScrollTo(steps > 0 ? (first > static_cast<std::uint64_t>(steps) ? first - steps : 0)
                           : first + static_cast<std::uint64_t>(-steps));
        return true;
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::uint64_t total = model_->TotalRows();
        if (total == 0)
            return false;
        const std::uint64_t row = CurrentRow().value_or(model_->FirstRow());
        const auto page = static_cast<std::uint64_t>(std::max(1, VisibleRows() - 2));
        switch (key->key()) {
        case Qt::Key_Up:
            GoToRow(row > 0 ? row - 1 : 0);
            return true;
        case Qt::Key_Down:
            GoToRow(row + 1);
            return true;
        case Qt::Key_PageUp:
            GoToRow(row > page ? row - page : 0);
            return true;
        case Qt::Key_PageDown:
            GoToRow(row + page);
            return true;
        case Qt::Key_Home:
            if (key->modifiers() & Qt::ControlModifier) {
                GoToRow(0);
                return true;
            }
            return false;
        case Qt::Key_End:
            if (key->modifiers() & Qt::ControlModifier) {
                GoToRow(total - 1);
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}
