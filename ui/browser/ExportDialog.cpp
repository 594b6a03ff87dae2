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

#include "Windows1251Text.h"
#include "Windows1251Validator.h"

ExportDialog::ExportDialog(const RecordLayout& layout, const QString& sourcePath, ChooseFile chooseFile,
                           QWidget* parent)
    : QDialog(parent), layout(layout), sourcePath(sourcePath), chooseFile(std::move(chooseFile)) {
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Export the selection — MAVIK"));
    lines = new QRadioButton(layout.IsText() ? QStringLiteral("The selected lines as they stand")
                                             : QStringLiteral("Text lines, as the converter writes them"),
                             this);
    lines->setObjectName(QStringLiteral("ExportLines"));
    lines->setChecked(true);
    csv = new QRadioButton(QStringLiteral("CSV for spreadsheets (UTF-8, header row)"), this);
    csv->setObjectName(QStringLiteral("ExportCsv"));
    formatted = new QCheckBox(QStringLiteral("Форматировать"), this);
    formatted->setObjectName(QStringLiteral("ExportFormatted"));
    formatted->setChecked(true);
    tab = new QCheckBox(QStringLiteral("TAB"), this);
    tab->setObjectName(QStringLiteral("ExportTab"));
    separator = new QLineEdit(QStringLiteral("*"), this);
    separator->setObjectName(QStringLiteral("ExportSeparator"));
    separator->setValidator(new Windows1251Validator(separator));
    path = new QLineEdit(this);
    path->setObjectName(QStringLiteral("ExportPath"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = this->chooseFile(this, path->text());
        if (!chosen.isEmpty())
            path->setText(chosen);
    });

    auto* options = new QFormLayout;
    auto* sep = new QHBoxLayout;
    sep->addWidget(separator, 1);
    sep->addWidget(tab);
    options->addRow(formatted);
    options->addRow(QStringLiteral("Separator:"), sep);
    auto* file = new QHBoxLayout;
    file->addWidget(path, 1);
    file->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QVBoxLayout(this);
    top->addWidget(lines);
    top->addLayout(options);
    top->addWidget(csv);
    top->addLayout(file);
    top->addWidget(buttons);

    for (QAbstractButton* b : {static_cast<QAbstractButton*>(lines), static_cast<QAbstractButton*>(csv),
                               static_cast<QAbstractButton*>(tab)})
        connect(b, &QAbstractButton::toggled, this, [this] {
            Check();
            Suggest();
        });
    Check();
    Suggest();
}

void ExportDialog::Check() {
    // Layout choices exist only for records out of a block file.
    const bool choices = lines->isChecked() && !layout.IsText();
    formatted->setEnabled(choices);
    tab->setEnabled(choices);
    separator->setEnabled(choices && !tab->isChecked());
}

void ExportDialog::Suggest() {
    const QFileInfo source(sourcePath);
    path->setText(source.dir().filePath(source.completeBaseName() +
                                        (csv->isChecked() ? QStringLiteral("-selection.csv")
                                                          : QStringLiteral("-selection.txt"))));
}

ExportFormat ExportDialog::Format() const {
    ExportFormat format;
    format.Format = csv->isChecked() ? ExportFormat::Csv : ExportFormat::Lines;
    format.Formatted = formatted->isChecked();
    format.Separator = tab->isChecked() ? std::string("\t") : ToWindows1251Bytes(separator->text()).value_or("*");
    return format;
}

QString ExportDialog::Path() const { return path->text(); }
