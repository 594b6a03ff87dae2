#include "ExportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CharsetText.h"

ExportDialog::ExportDialog(const RecordLayout& layout, const QString& sourcePath, ChooseFile chooseFile,
                           QWidget* parent, Charset set)
    : QDialog(parent), layout_(layout), sourcePath_(sourcePath), chooseFile_(std::move(chooseFile)), set_(set) {
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(tr("Export the selection — MAVIK"));
    lines_ = new QRadioButton(layout.IsText() ? tr("The selected lines as they stand")
                                             : tr("Text lines, as the converter writes them"),
                             this);
    lines_->setObjectName(QStringLiteral("ExportLines"));
    lines_->setChecked(true);
    csv_ = new QRadioButton(tr("CSV for spreadsheets (UTF-8, header row)"), this);
    csv_->setObjectName(QStringLiteral("ExportCsv"));
    formatted_ = new QCheckBox(tr("Форматировать"), this);
    formatted_->setObjectName(QStringLiteral("ExportFormatted"));
    formatted_->setChecked(true);
    tab_ = new QCheckBox(QStringLiteral("TAB"), this);
    tab_->setObjectName(QStringLiteral("ExportTab"));
    separator_ = new QLineEdit(QStringLiteral("*"), this);
    separator_->setObjectName(QStringLiteral("ExportSeparator"));
    separator_->setValidator(new CharsetValidator(set_, separator_));
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("ExportPath"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = chooseFile_(this, path_->text());
        if (!chosen.isEmpty())
            path_->setText(chosen);
    });

    auto* options = new QFormLayout;
    auto* sep = new QHBoxLayout;
    sep->addWidget(separator_, 1);
    sep->addWidget(tab_);
    options->addRow(formatted_);
    options->addRow(tr("Separator:"), sep);
    auto* file = new QHBoxLayout;
    file->addWidget(path_, 1);
    file->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QVBoxLayout(this);
    top->addWidget(lines_);
    top->addLayout(options);
    top->addWidget(csv_);
    top->addLayout(file);
    top->addWidget(buttons);

    for (QAbstractButton* b : {static_cast<QAbstractButton*>(lines_), static_cast<QAbstractButton*>(csv_),
                               static_cast<QAbstractButton*>(tab_)})
        connect(b, &QAbstractButton::toggled, this, [this] {
            Check();
            Suggest();
        });
    Check();
    Suggest();
}

void ExportDialog::Check() {
    // Layout choices exist only for records out of a block file.
    const bool choices = lines_->isChecked() && !layout_.IsText();
    formatted_->setEnabled(choices);
    tab_->setEnabled(choices);
    separator_->setEnabled(choices && !tab_->isChecked());
}

void ExportDialog::Suggest() {
    const QFileInfo source(sourcePath_);
    path_->setText(source.dir().filePath(source.completeBaseName() +
                                        (csv_->isChecked() ? QStringLiteral("-selection.csv")
                                                          : QStringLiteral("-selection.txt"))));
}

ExportFormat ExportDialog::Format() const {
    ExportFormat format;
    format.Format = csv_->isChecked() ? ExportFormat::Csv : ExportFormat::Lines;
    format.Formatted = formatted_->isChecked();
    format.Separator = tab_->isChecked() ? std::string("\t") : ToCharsetBytes(separator_->text(), set_).value_or("*");
    format.TextCharset = set_;
    return format;
}

QString ExportDialog::Path() const { return path_->text(); }
