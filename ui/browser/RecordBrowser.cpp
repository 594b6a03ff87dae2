#include "RecordBrowser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "CharsetText.h"
#include "CloseKeys.h"
#include "Counts.h"
#include "CsvWriter.h"
#include "EngineWords.h"
#include "ErrorText.h"
#include "ExportDialog.h"
#include "FileAccess.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "QtPlatform.h"
#include "RecordFile.h"
#include "RecordTableModel.h"
#include "RecordTableView.h"
#include "SelectionCondition.h"
#include "SelectionScan.h"
#include "StatusLine.h"
#include "TableCharset.h"

#include <climits>

namespace {


// How the file is read, in the reader's words.
QString LayoutText(const RecordLayout& layout, Charset set) {
    const QString separator = layout.Separator == "\t" ? QStringLiteral("TAB")
                                                       : QStringLiteral("\"%1\"").arg(FromCharsetBytes(layout.Separator, set));
    switch (layout.Kind) {
    case LayoutKind::Block:
        return layout.Code == BlockCode::Ebcdic ? RecordBrowser::tr("EBCDIC call records")
                                                : RecordBrowser::tr("ASCII call records");
    case LayoutKind::Formatted:
        return RecordBrowser::tr("formatted lines, separator %1").arg(separator);
    case LayoutKind::Raw:
        return RecordBrowser::tr("raw field lines, separator %1").arg(separator);
    }
    return {};
}

}  // namespace

RecordBrowser* RecordBrowser::Open(const QString& path, std::optional<RecordLayout> layout,
                                   std::optional<BlockCode> blockCode, const CodeTable* table,
                                   const std::string& tablesFolder, QWidget* parent, std::optional<Charset> charset) {
    std::shared_ptr<RecordFile> file;
    try {
        file = std::make_shared<RecordFile>(path.toStdString(), layout, blockCode);
    } catch (const LayoutError& e) {
        throw std::runtime_error(QFileInfo(path).fileName().toStdString() + ": " + e.what());
    }
    return new RecordBrowser(std::move(file), table, tablesFolder, parent, charset);
}

RecordBrowser::RecordBrowser(std::shared_ptr<RecordFile> file, const CodeTable* codeTable,
                             const std::string& tablesFolder, QWidget* parent, std::optional<Charset> charset)
    : QMainWindow(parent), file_(std::move(file)),
      charset_(charset.value_or(CharsetOfTablesOrDefault(fileaccess::PathOf(tablesFolder)))) {
    // The names mavik-convert gives the same fields; a broken file is told
    // and leaves the numbers.
    try {
        fieldNames_ = LoadFieldNames(tablesFolder).value_or(std::vector<std::string>{});
    } catch (const FieldNamesError& e) {
        fieldNamesError_ = FieldNamesErrorText(e);
    } catch (const std::exception& e) {
        fieldNamesError_ = ErrorText(e);
    }
    setObjectName(QStringLiteral("RecordBrowser"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("%1 — MAVIK").arg(QFileInfo(QString::fromStdString(file_->Path())).fileName()));
    model_ = new RecordTableModel(file_, codeTable, charset_, this);
    model_->SetFieldNames(fieldNames_);
    chooseSaveFile = &QtPlatform::ChooseSaveFile;
    BuildWidgets();
    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, &RecordBrowser::Poll);
    SetStatus(WithCount(tr("%n records, %1", nullptr, PluralStandIn(model_->TotalRows())), model_->TotalRows())
                  .arg(LayoutText(file_->Layout(), charset_)));
    if (!fieldNamesError_.isEmpty())
        SetStatus(fieldNamesError_, true);
    resize(openingSize_);

    // Esc cancels a running selection or export first; then, like Ctrl+W,
    // it closes the browser.
    AddCloseKeys(this, [this] {
        if (!Busy())
            return false;
        CancelWork();
        return true;
    });
}

// The jobs' destructors cancel and wait.
RecordBrowser::~RecordBrowser() = default;

void RecordBrowser::BuildWidgets() {
    selectionEdit_ = new QLineEdit(this);
    selectionEdit_->setObjectName(QStringLiteral("SelectionEdit"));
    // The example in the form this file shows its fields; either form selects.
    selectionEdit_->setPlaceholderText(file_->Layout().Kind == LayoutKind::Formatted
                                           ? tr("Conditions N OP VALUE separated by \";\", e.g. 5=07/12; 6>=12:00:00")
                                           : tr("Conditions N OP VALUE separated by \";\", e.g. 5=0712; 6>=120000"));
    connect(selectionEdit_, &QLineEdit::returnPressed, this, &RecordBrowser::ApplySelection);

    fieldBox_ = new QComboBox(this);
    fieldBox_->setObjectName(QStringLiteral("BuilderField"));
    for (int n = 1; n <= kFieldCount; ++n)
        fieldBox_->addItem(tr("Field %1").arg(n), n);
    operatorBox_ = new QComboBox(this);
    operatorBox_->setObjectName(QStringLiteral("BuilderOperator"));
    for (SelectionOp op : kSelectionOps)
        operatorBox_->addItem(QString::fromLatin1(OperatorText(op)), static_cast<int>(op));
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setObjectName(QStringLiteral("BuilderValue"));
    valueEdit_->setPlaceholderText(tr("value"));
    auto* add = new QPushButton(tr("Add"), this);
    add->setObjectName(QStringLiteral("BuilderAdd"));
    connect(add, &QPushButton::clicked, this, &RecordBrowser::AddCondition);
    auto* apply = new QPushButton(tr("Select"), this);
    apply->setObjectName(QStringLiteral("SelectButton"));
    connect(apply, &QPushButton::clicked, this, &RecordBrowser::ApplySelection);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("SelectionProgress"));
    progress_->setRange(0, 100);
    progress_->setVisible(false);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setVisible(false);
    connect(cancelButton_, &QPushButton::clicked, this, &RecordBrowser::CancelWork);
    exportButton_ = new QPushButton(tr("Export…"), this);
    exportButton_->setObjectName(QStringLiteral("ExportButton"));
    connect(exportButton_, &QPushButton::clicked, this, &RecordBrowser::ExportClicked);
    status_ = new StatusLine(this);
    status_->setObjectName(QStringLiteral("SelectionStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    view_ = new RecordTableView(model_, this);
    table_ = view_->Table();
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    table_->setFont(mono);
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(mono).height() + 6);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    const int charWidth = QFontMetrics(mono).horizontalAdvance(QLatin1Char('0'));
    for (int n = 1; n <= kFieldCount; ++n) {
        const std::size_t width = file_->Layout().Kind == LayoutKind::Formatted ? kFormattedWidths[n - 1]
                                  : (file_->Layout().Kind == LayoutKind::Block && n == 13)
                                      ? 8
                                      : kRawWidths[n - 1];
        table_->setColumnWidth(n - 1, charWidth * static_cast<int>(std::max<std::size_t>(width, 2)) + 14);
    }
    connect(view_, &RecordTableView::CurrentRowChanged, this, &RecordBrowser::ShowRecord);

    pane_ = new QTableWidget(kFieldCount, 3, this);
    pane_->setObjectName(QStringLiteral("RecordPane"));
    pane_->setHorizontalHeaderLabels({tr("Field"), tr("Text"), tr("Holds")});
    pane_->verticalHeader()->setVisible(false);
    pane_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pane_->setFont(mono);
    pane_->horizontalHeader()->setStretchLastSection(true);
    pane_->setWordWrap(true);
    connect(pane_->horizontalHeader(), &QHeaderView::sectionResized, pane_, &QTableView::resizeRowsToContents);
    for (int n = 1; n <= kFieldCount; ++n)
        pane_->setItem(n - 1, 0, new QTableWidgetItem(model_->FieldTitle(n)));
    pane_->resizeColumnToContents(0);
    pane_->setColumnWidth(1, charWidth * 17);

    auto* builder = new QHBoxLayout;
    builder->addWidget(new QLabel(tr("Condition:"), this));
    builder->addWidget(fieldBox_);
    builder->addWidget(operatorBox_);
    builder->addWidget(valueEdit_, 1);
    builder->addWidget(add);
    builder->addSpacing(24);
    builder->addWidget(exportButton_);

    auto* edit = new QHBoxLayout;
    edit->addWidget(new QLabel(tr("Selection:"), this));
    edit->addWidget(selectionEdit_, 1);
    edit->addWidget(apply);

    auto* state = new QHBoxLayout;
    state->addWidget(status_, 1);
    state->addWidget(progress_);
    state->addWidget(cancelButton_);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(view_);
    splitter->addWidget(pane_);
    // At first every column of the table in view, and the pane wide enough
    // for its words on one line as a rule; a resize goes mostly to the table.
    int tableWidth = table_->verticalHeader()->sizeHint().width() + table_->verticalScrollBar()->sizeHint().width() + 8;
    for (int n = 1; n <= kFieldCount; ++n)
        tableWidth += table_->columnWidth(n - 1);
    const int paneWidth = charWidth * 60;
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({tableWidth, paneWidth});
    openingSize_ = QSize(tableWidth + paneWidth + 40, 680);

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
    c.Field = fieldBox_->currentData().toInt();
    c.Op = static_cast<SelectionOp>(operatorBox_->currentData().toInt());
    const auto value = ToCharsetBytes(valueEdit_->text(), charset_);
    if (!value) {
        SetStatus(tr("The value holds a character the output files cannot hold."), true);
        return;
    }
    c.Value = *value;
    std::string written;
    try {
        written = ConditionText(c);
    } catch (const SelectionError& e) {
        SetStatus(SelectionErrorText(e, charset_), true);  // no text of the edit stands for it
        return;
    }
    QString text = selectionEdit_->text().trimmed();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char(';')))
        text += QStringLiteral("; ");
    selectionEdit_->setText(text + FromCharsetBytes(written, charset_));
}

void RecordBrowser::ApplySelection() {
    if (Busy())
        return;
    const auto bytes = ToCharsetBytes(selectionEdit_->text(), charset_);
    if (!bytes) {
        SetStatus(tr("The selection holds a character the output files cannot hold."), true);
        return;
    }
    std::vector<SelectionCondition> conditions;
    try {
        conditions = ParseConditions(*bytes);
        for (const SelectionCondition& c : conditions)
            CheckCondition(c);
    } catch (const SelectionError& e) {
        SetStatus(SelectionErrorText(e, charset_), true);
        return;
    }
    if (conditions.empty()) {
        model_->SetSelection(nullptr);
        view_->Reset();
        SetStatus(WithCount(tr("All %n records", nullptr, PluralStandIn(model_->TotalRows())), model_->TotalRows()));
        emit WorkFinished();
        return;
    }
    neverMatches_.clear();
    for (const SelectionCondition& c : conditions)
        if (const auto why = NeverMatches(c))
            neverMatches_ += QStringLiteral("; ") + NeverMatchWords(*why, charset_);
    selectionJob_ = StartSelection(file_, std::move(conditions), model_->Table());
    SetBusy(true);
    SetStatus(tr("Selecting…"));
}

void RecordBrowser::CancelWork() {
    if (selectionJob_)
        selectionJob_->Cancel();
    if (exportJob_)
        exportJob_->Cancel();
}

bool RecordBrowser::Busy() const { return selectionJob_ || exportJob_; }

void RecordBrowser::SetBusy(bool busy) {
    progress_->setValue(0);
    progress_->setVisible(busy);
    cancelButton_->setVisible(busy);
    exportButton_->setEnabled(!busy);
    if (busy)
        poll_->start();
    else
        poll_->stop();
}

void RecordBrowser::SetStatus(const QString& text, bool error) {
    status_->setText(text);
    status_->setStyleSheet(error ? QStringLiteral("color: #b00000") : QString());
}

void RecordBrowser::Poll() {
    if (selectionJob_) {
        progress_->setValue(selectionJob_->Percent());
        const std::uint64_t found = selectionJob_->Progress().Found;
        SetStatus(WithCount(tr("Selecting… %n matches so far", nullptr, PluralStandIn(found)), found));
        if (selectionJob_->Finished())
            FinishSelection();
    } else if (exportJob_) {
        progress_->setValue(exportJob_->Percent());
        if (exportJob_->Finished())
            FinishExport();
    }
}

void RecordBrowser::FinishSelection() {
    const std::unique_ptr<Job<SelectionIndex>> job = std::move(selectionJob_);
    std::optional<SelectionIndex>& index = job->Result();
    SetBusy(false);
    if (!job->Error().empty()) {
        SetStatus(tr("Selection failed: %1").arg(ErrorText(job->Failure())), true);
    } else if (!index) {
        SetStatus(tr("Selection cancelled; the table shows what it showed before."));
    } else {
        const std::uint64_t matches = index->Count();
        model_->SetSelection(std::make_shared<const SelectionIndex>(std::move(*index)));
        view_->Reset();
        SetStatus(WithCount(tr("%1 of %n records selected", nullptr, PluralStandIn(file_->RecordCount())),
                            file_->RecordCount())
                      .arg(Grouped(matches)) +
                  (matches == 0 ? neverMatches_ : QString()));
    }
    emit WorkFinished();
}

void RecordBrowser::ExportClicked() {
    if (Busy())
        return;
    ExportDialog dialog(file_->Layout(), QString::fromStdString(file_->Path()), chooseSaveFile, this, charset_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ExportTo(dialog.Format(), dialog.Path());
}

void RecordBrowser::ExportTo(const ExportFormat& format, const QString& path) {
    if (Busy())
        return;
    ExportFormat chosen = format;
    chosen.TextCharset = charset_;
    if (chosen.Format == ExportFormat::Csv && chosen.FieldNames.empty()) {
        // The header mavik-convert writes, which refuses a broken field-names.
        if (!fieldNamesError_.isEmpty()) {
            SetStatus(fieldNamesError_, true);
            return;
        }
        chosen.FieldNames = fieldNames_;
    }
    exportPath_ = path;
    exportRecords_ = model_->TotalRows();
    exportJob_ = StartExport(file_, model_->Selection(), model_->Table(), chosen, path.toStdString());
    SetBusy(true);
    SetStatus(tr("Exporting to %1…").arg(path));
}

void RecordBrowser::FinishExport() {
    const QString error = ErrorText(exportJob_->Failure());
    const bool complete = exportJob_->Result().has_value();
    exportJob_.reset();
    SetBusy(false);
    if (!error.isEmpty())
        SetStatus(tr("Export failed: %1").arg(error), true);
    else if (!complete)
        SetStatus(tr("Export cancelled; nothing was written."));
    else
        SetStatus(WithCount(tr("%n records exported to %1", nullptr, PluralStandIn(exportRecords_)), exportRecords_)
                      .arg(exportPath_));
    emit WorkFinished();
}

void RecordBrowser::ShowRecord() {
    const QModelIndex current = table_->currentIndex();
    const auto record = current.isValid() ? model_->RecordAt(current.row()) : std::nullopt;
    for (int n = 1; n <= kFieldCount; ++n) {
        QString text;
        QString holds;
        if (record) {
            if (const auto bytes = model_->FieldOf(*record, n)) {
                text = ShownText(*bytes, charset_);
                holds = FieldMeaningText(MeaningOfField(file_->Layout(), n, *bytes), charset_);
            }
        }
        pane_->setItem(n - 1, 1, new QTableWidgetItem(text));
        pane_->setItem(n - 1, 2, new QTableWidgetItem(holds));
    }
    // A narrow pane wraps its words rather than cut them off.
    pane_->resizeRowsToContents();
}

void RecordBrowser::closeEvent(QCloseEvent* event) {
    CancelWork();
    QMainWindow::closeEvent(event);
}
