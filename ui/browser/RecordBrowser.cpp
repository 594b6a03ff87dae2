#include "RecordBrowser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ExportDialog.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "RecordFile.h"
#include "RecordTableModel.h"
#include "RecordTableView.h"
#include "SelectionCondition.h"
#include "SelectionScan.h"
#include "Windows1251Text.h"

namespace {

QString Count(std::uint64_t n) { return QLocale::c().toString(static_cast<qulonglong>(n)); }

}  // namespace

RecordBrowser* RecordBrowser::Open(const QString& path, std::optional<RecordLayout> layout,
                                   std::optional<BlockCode> blockCode, const CodeTable* table, QWidget* parent) {
    std::shared_ptr<RecordFile> file;
    try {
        file = std::make_shared<RecordFile>(path.toStdString(), layout, blockCode);
    } catch (const LayoutError& e) {
        throw std::runtime_error(QFileInfo(path).fileName().toStdString() + ": " + e.what());
    }
    return new RecordBrowser(std::move(file), table, parent);
}

RecordBrowser::RecordBrowser(std::shared_ptr<RecordFile> file, const CodeTable* codeTable, QWidget* parent)
    : QMainWindow(parent), file(std::move(file)) {
    setObjectName(QStringLiteral("RecordBrowser"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QFileInfo(QString::fromStdString(this->file->Path())).fileName() + QStringLiteral(" — MAVIK"));
    model = new RecordTableModel(this->file, codeTable, this);
    chooseSaveFile = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QString(), suggested);
    };
    BuildWidgets();
    poll = new QTimer(this);
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this, &RecordBrowser::Poll);
    SetStatus(QStringLiteral("%1 records, %2").arg(Count(model->TotalRows()),
                                                   QString::fromStdString(this->file->Layout().Describe())));
    resize(1100, 640);
}

// The jobs' destructors cancel and wait.
RecordBrowser::~RecordBrowser() = default;

void RecordBrowser::BuildWidgets() {
    selectionEdit = new QLineEdit(this);
    selectionEdit->setObjectName(QStringLiteral("SelectionEdit"));
    selectionEdit->setPlaceholderText(QStringLiteral("Conditions N OP VALUE separated by \";\", e.g. 5=0712; 6>=120000"));
    connect(selectionEdit, &QLineEdit::returnPressed, this, &RecordBrowser::ApplySelection);

    fieldBox = new QComboBox(this);
    fieldBox->setObjectName(QStringLiteral("BuilderField"));
    for (int n = 1; n <= kFieldCount; ++n)
        fieldBox->addItem(QStringLiteral("Field %1").arg(n), n);
    operatorBox = new QComboBox(this);
    operatorBox->setObjectName(QStringLiteral("BuilderOperator"));
    for (SelectionOp op : kSelectionOps)
        operatorBox->addItem(QString::fromLatin1(OperatorText(op)), static_cast<int>(op));
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName(QStringLiteral("BuilderValue"));
    valueEdit->setPlaceholderText(QStringLiteral("value"));
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("BuilderAdd"));
    connect(add, &QPushButton::clicked, this, &RecordBrowser::AddCondition);
    auto* apply = new QPushButton(QStringLiteral("Select"), this);
    apply->setObjectName(QStringLiteral("SelectButton"));
    connect(apply, &QPushButton::clicked, this, &RecordBrowser::ApplySelection);

    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("SelectionProgress"));
    progress->setRange(0, 100);
    progress->setVisible(false);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setVisible(false);
    connect(cancelButton, &QPushButton::clicked, this, &RecordBrowser::CancelWork);
    exportButton = new QPushButton(QStringLiteral("Export…"), this);
    exportButton->setObjectName(QStringLiteral("ExportButton"));
    connect(exportButton, &QPushButton::clicked, this, &RecordBrowser::ExportClicked);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("SelectionStatus"));
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    view = new RecordTableView(model, this);
    table = view->Table();
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    table->setFont(mono);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(mono).height() + 6);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    const int charWidth = QFontMetrics(mono).horizontalAdvance(QLatin1Char('0'));
    for (int n = 1; n <= kFieldCount; ++n) {
        const std::size_t width = file->Layout().Kind == LayoutKind::Formatted ? kFormattedWidths[n - 1]
                                  : (file->Layout().Kind == LayoutKind::Block && n == 13)
                                      ? 8
                                      : kRawWidths[n - 1];
        table->setColumnWidth(n - 1, charWidth * static_cast<int>(std::max<std::size_t>(width, 2)) + 14);
    }
    connect(view, &RecordTableView::CurrentRowChanged, this, &RecordBrowser::ShowRecord);

    pane = new QTableWidget(kFieldCount, 3, this);
    pane->setObjectName(QStringLiteral("RecordPane"));
    pane->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Text"), QStringLiteral("Holds")});
    pane->verticalHeader()->setVisible(false);
    pane->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pane->setFont(mono);
    pane->horizontalHeader()->setStretchLastSection(true);
    for (int n = 1; n <= kFieldCount; ++n)
        pane->setItem(n - 1, 0, new QTableWidgetItem(QString::number(n)));
    pane->resizeColumnToContents(0);
    pane->setColumnWidth(1, charWidth * 17);

    auto* builder = new QHBoxLayout;
    builder->addWidget(new QLabel(QStringLiteral("Condition:"), this));
    builder->addWidget(fieldBox);
    builder->addWidget(operatorBox);
    builder->addWidget(valueEdit, 1);
    builder->addWidget(add);
    builder->addSpacing(24);
    builder->addWidget(exportButton);

    auto* edit = new QHBoxLayout;
    edit->addWidget(new QLabel(QStringLiteral("Selection:"), this));
    edit->addWidget(selectionEdit, 1);
    edit->addWidget(apply);

    auto* state = new QHBoxLayout;
    state->addWidget(status, 1);
    state->addWidget(progress);
    state->addWidget(cancelButton);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(view);
    splitter->addWidget(pane);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(edit);
    layout->addLayout(builder);
    layout->addWidget(splitter, 1);
    layout->addLayout(state);
}

void RecordBrowser::AddCondition() {
    SelectionCondition c;
    c.Field = fieldBox->currentData().toInt();
    c.Op = static_cast<SelectionOp>(operatorBox->currentData().toInt());
    const auto value = ToWindows1251Bytes(valueEdit->text());
    if (!value) {
        SetStatus(QStringLiteral("The value holds a character the output files cannot hold."), true);
        return;
    }
    c.Value = *value;
    QString text = selectionEdit->text().trimmed();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char(';')))
        text += QStringLiteral("; ");
    selectionEdit->setText(text + FromWindows1251Bytes(ConditionText(c)));
}

void RecordBrowser::ApplySelection() {
    if (Busy())
        return;
    const auto bytes = ToWindows1251Bytes(selectionEdit->text());
    if (!bytes) {
        SetStatus(QStringLiteral("The selection holds a character the output files cannot hold."), true);
        return;
    }
    std::vector<SelectionCondition> conditions;
    try {
        conditions = ParseConditions(*bytes);
    } catch (const SelectionError& e) {
        SetStatus(FromWindows1251Bytes(e.what()), true);
        return;
    }
    if (conditions.empty()) {
        model->SetSelection(nullptr);
        view->Reset();
        SetStatus(QStringLiteral("All %1 records").arg(Count(model->TotalRows())));
        emit WorkFinished();
        return;
    }
    selectionJob = StartSelection(file, std::move(conditions), model->Table());
    SetBusy(true);
    SetStatus(QStringLiteral("Selecting…"));
}

void RecordBrowser::CancelWork() {
    if (selectionJob)
        selectionJob->Cancel();
    if (exportJob)
        exportJob->Cancel();
}

bool RecordBrowser::Busy() const { return selectionJob || exportJob; }

void RecordBrowser::SetBusy(bool busy) {
    progress->setValue(0);
    progress->setVisible(busy);
    cancelButton->setVisible(busy);
    exportButton->setEnabled(!busy);
    if (busy)
        poll->start();
    else
        poll->stop();
}

void RecordBrowser::SetStatus(const QString& text, bool error) {
    status->setText(text);
    status->setStyleSheet(error ? QStringLiteral("color: #b00000") : QString());
}

void RecordBrowser::Poll() {
    if (selectionJob) {
        progress->setValue(selectionJob->Percent());
        SetStatus(QStringLiteral("Selecting… %1 matches so far").arg(Count(selectionJob->Progress().Found)));
        if (selectionJob->Finished())
            FinishSelection();
    } else if (exportJob) {
        progress->setValue(exportJob->Percent());
        if (exportJob->Finished())
            FinishExport();
    }
}

void RecordBrowser::FinishSelection() {
    const std::unique_ptr<Job<SelectionIndex>> job = std::move(selectionJob);
    std::optional<SelectionIndex>& index = job->Result();
    SetBusy(false);
    if (!job->Error().empty()) {
        SetStatus(QStringLiteral("Selection failed: ") + QString::fromStdString(job->Error()), true);
    } else if (!index) {
        SetStatus(QStringLiteral("Selection cancelled; the table shows what it showed before."));
    } else {
        const std::uint64_t matches = index->Count();
        model->SetSelection(std::make_shared<const SelectionIndex>(std::move(*index)));
        view->Reset();
        SetStatus(QStringLiteral("%1 of %2 records selected").arg(Count(matches), Count(file->RecordCount())));
    }
    emit WorkFinished();
}

void RecordBrowser::ExportClicked() {
    if (Busy())
        return;
    ExportDialog dialog(file->Layout(), QString::fromStdString(file->Path()), chooseSaveFile, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ExportTo(dialog.Format(), dialog.Path());
}

void RecordBrowser::ExportTo(const ExportFormat& format, const QString& path) {
    if (Busy())
        return;
    exportPath = path;
    exportRecords = model->TotalRows();
    exportJob = StartExport(file, model->Selection(), model->Table(), format, path.toStdString());
    SetBusy(true);
    SetStatus(QStringLiteral("Exporting to %1…").arg(path));
}

void RecordBrowser::FinishExport() {
    const QString error = QString::fromStdString(exportJob->Error());
    const bool complete = exportJob->Result().has_value();
    exportJob.reset();
    SetBusy(false);
    if (!error.isEmpty())
        SetStatus(QStringLiteral("Export failed: ") + error, true);
    else if (!complete)
        SetStatus(QStringLiteral("Export cancelled; nothing was written."));
    else
        SetStatus(QStringLiteral("%1 records exported to %2").arg(Count(exportRecords), exportPath));
    emit WorkFinished();
}

void RecordBrowser::ShowRecord() {
    const QModelIndex current = table->currentIndex();
    const auto record = current.isValid() ? model->RecordAt(current.row()) : std::nullopt;
    for (int n = 1; n <= kFieldCount; ++n) {
        QString text;
        QString holds;
        if (record) {
            if (const auto bytes = model->FieldOf(*record, n)) {
                text = ShownText(*bytes);
                holds = QString::fromStdString(FieldMeaning(file->Layout(), n, *bytes));
            }
        }
        pane->setItem(n - 1, 1, new QTableWidgetItem(text));
        pane->setItem(n - 1, 2, new QTableWidgetItem(holds));
    }
}

void RecordBrowser::closeEvent(QCloseEvent* event) {
    CancelWork();
    QMainWindow::closeEvent(event);
}
