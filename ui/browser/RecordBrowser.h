#pragma once

#include <QString>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CodeTable.h"
#include "Job.h"
#include "RecordLayout.h"
#include "SelectionExport.h"
#include "SelectionIndex.h"

class QLabel;
class QLineEdit;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;
class QTimer;
class RecordFile;
class RecordTableModel;
class RecordTableView;
class StatusLine;

// The record browser: a call-record file or a MAVIK text output as a table
// of records, the conditions that select among them, the one record under
// the cursor field by field, and the export of the selection. Everything
// but the drawing is the engine's: recognition, the scan, the export.
class RecordBrowser : public QMainWindow {
    Q_OBJECT

public:
    // Opens path in layout, or recognises it (blockCode, when given, for a
    // block file's code). table recodes EBCDIC records; nullptr shows their
    // bytes as they are. field-names in tablesFolder (empty: the current
    // folder) names the columns and the CSV export's header. The fields
    // and the conditions are in charset, the tables' character set; when
    // not given, the one of the tables in tablesFolder. Throws IOError when
    // the file cannot be opened and std::runtime_error, naming the file,
    // when it fits no layout.
    static RecordBrowser* Open(const QString& path, std::optional<RecordLayout> layout,
                               std::optional<BlockCode> blockCode, const CodeTable* table,
                               const std::string& tablesFolder = {}, QWidget* parent = nullptr,
                               std::optional<Charset> charset = std::nullopt);

    RecordBrowser(std::shared_ptr<RecordFile> file, const CodeTable* table, const std::string& tablesFolder = {},
                  QWidget* parent = nullptr, std::optional<Charset> charset = std::nullopt);
    ~RecordBrowser() override;

    // Applies the edit's conditions: a scan on a worker, or every record for
    // an empty edit. A malformed condition is shown, and nothing changes.
    void ApplySelection();
    // Stops the scan or the export that is going on.
    void CancelWork();
    // Writes the rows shown (the selection, or every record) to path on a
    // worker, through a temporary file beside it.
    void ExportTo(const ExportFormat& format, const QString& path);
    // Asks for the format and the file, then exports.
    void ExportClicked();
    bool Busy() const;

    RecordTableModel* Model() const { return model_; }
    RecordTableView* View() const { return view_; }

    // Where the export dialog's "..." asks for a file name; tests replace it.
    std::function<QString(QWidget* owner, const QString& suggested)> chooseSaveFile;

signals:
    // A scan or an export has ended; the status line says how.
    void WorkFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWidgets();
    void AddCondition();
    void Poll();
    void FinishSelection();
    void FinishExport();
    void ShowRecord();
    void SetBusy(bool busy);
    void SetStatus(const QString& text, bool error = false);

    std::shared_ptr<RecordFile> file_;
    Charset charset_;
    RecordTableModel* model_ = nullptr;
    QLineEdit* selectionEdit_ = nullptr;
    QComboBox* fieldBox_ = nullptr;
    QComboBox* operatorBox_ = nullptr;
    QLineEdit* valueEdit_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    StatusLine* status_ = nullptr;
    RecordTableView* view_ = nullptr;
    QTableView* table_ = nullptr;
    QTableWidget* pane_ = nullptr;
    QTimer* poll_ = nullptr;
    QSize openingSize_;

    std::unique_ptr<Job<SelectionIndex>> selectionJob_;
    std::unique_ptr<Job<bool>> exportJob_;
    std::uint64_t exportRecords_ = 0;
    QString exportPath_;
    QString neverMatches_;  // why the selection's conditions cannot hold, "; " before each
    std::vector<std::string> fieldNames_;  // from field-names, or none
    QString fieldNamesError_;              // why field-names could not be taken
};
