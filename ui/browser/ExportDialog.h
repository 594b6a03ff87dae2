#pragma once

#include <QDialog>

#include <functional>

#include "RecordLayout.h"
#include "Charset.h"
#include "SelectionExport.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// Asks how and where to export a selection: text lines (for a block file
// formatted or raw, with a separator or TAB, as the converter writes them)
// or CSV, and the file.
class ExportDialog : public QDialog {
    Q_OBJECT

public:
    using ChooseFile = std::function<QString(QWidget* owner, const QString& suggested)>;
    // set: the tables' character set, the separator's and the CSV's.
    ExportDialog(const RecordLayout& layout, const QString& sourcePath, ChooseFile chooseFile,
                 QWidget* parent = nullptr, Charset set = Charset::Windows1251);

    ExportFormat Format() const;
    QString Path() const;

private:
    void Suggest();
    void Check();

    RecordLayout layout_;
    QString sourcePath_;
    ChooseFile chooseFile_;
    QRadioButton* lines_ = nullptr;
    QRadioButton* csv_ = nullptr;
    QCheckBox* formatted_ = nullptr;
    QCheckBox* tab_ = nullptr;
    QLineEdit* separator_ = nullptr;
    QLineEdit* path_ = nullptr;
    Charset set_;
};
