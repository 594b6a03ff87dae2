#include "Main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "Gauge.h"
#include "Platform.h"
#include "RadioGroup.h"
#include "RunWords.h"
#include "StaticText.h"
#include "Windows1251Validator.h"
#include "ui_Main.h"

namespace {

// The window's outer size; the client area is what a classic frame
// (4-pixel border, 19-pixel caption) leaves of it.
constexpr QSize kOuterSize(506, 400);

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath) {
    return FromUtf8(form::RunDetails(result, inputPath, outputPath, QtFormWords()));
}

TMAVIKForm::TMAVIKForm(Platform& platform, QWidget* parent)
    : QWidget(parent),
      form::TMAVIKForm(Seams{*this, *this, words_, runs_, &viewers_}),
      ui_(std::make_unique<Ui::TMAVIKForm>()),
      platform_(platform) {
    // The form's font is "MS Sans Serif"; where it is missing, fonts of
    // similar width keep the captions inside their fixed sizes.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans Condensed")});
    ui_->setupUi(this);
    ui_->OutInfoEdit1->setValidator(new Windows1251Validator(ui_->OutInfoEdit1));
    ScaleToScreen();
    ConnectEvents();
    RunEvent(&form::TMAVIKForm::FormCreate);
}

// The runs' hand-offs reach the controls, so the runs end before they go.
TMAVIKForm::~TMAVIKForm() { StopRuns(); }

void TMAVIKForm::ConnectEvents() {
    using Form = form::TMAVIKForm;
    const auto event = [this](void (Form::*operation)()) {
        return [this, operation] { RunEvent(operation); };
    };
    connect(ui_->SelFile1, &QPushButton::clicked, this, event(&Form::SelFile1Click));
    connect(ui_->InpFileNameEdit1, &QLineEdit::textChanged, this, event(&Form::InpFileNameEdit1Change));
    connect(ui_->OutFileNameEdit1, &QLineEdit::textChanged, this, event(&Form::OutFileNameEdit1Change));
    connect(ui_->TypeInpRadioGroup1, &RadioGroup::itemClicked, this, event(&Form::TypeInpRadioGroup1Click));
    connect(ui_->TypeOutRadioGroup1, &RadioGroup::itemClicked, this, event(&Form::TypeOutRadioGroup1Click));
    connect(ui_->TabBox1, &QCheckBox::toggled, this, event(&Form::TabBox1Click));
    connect(ui_->FormatBox1, &QCheckBox::toggled, this, event(&Form::FormatBox1Click));
    connect(ui_->ConvBitBtn1, &QPushButton::clicked, this, event(&Form::ConvBitBtn1Click));
    connect(ui_->ViewInpBitBtn1, &QPushButton::clicked, this, event(&Form::ViewInpBitBtn1Click));
    connect(ui_->ViewOutBitBtn1, &QPushButton::clicked, this, event(&Form::ViewOutBitBtn1Click));
    connect(ui_->QueryBitBtn1, &QPushButton::clicked, this, event(&Form::QueryBitBtn1Click));
    connect(ui_->VersionStaticText, &StaticText::clicked, this, event(&Form::VersionStaticTextClick));
    connect(ui_->ExitBtn, &QPushButton::clicked, this, event(&Form::ExitBtnClick));
}

void TMAVIKForm::ScaleToScreen() {
    // The form is laid out in pixels at 96 dots per inch.
    const qreal factor = logicalDpiY() / 96.0;
    const QSize client(kOuterSize.width() - 8, kOuterSize.height() - 27);
    if (qFuzzyCompare(factor, 1.0)) {
        resize(client);
    } else {
        const auto scaled = [factor](const QRect& r) {
            return QRect(qRound(r.x() * factor), qRound(r.y() * factor),
                         qRound(r.width() * factor), qRound(r.height() * factor));
        };
        for (QWidget* parent : {static_cast<QWidget*>(this), ui_->TabSheet1})
            for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                child->setGeometry(scaled(child->geometry()));
        resize(client * factor);
    }
    // Centred on the screen: move() places the frame, so the outer size counts.
    if (const QScreen* shown = screen())
        move(shown->availableGeometry().center() -
             QPoint(qRound(kOuterSize.width() * factor) / 2, qRound(kOuterSize.height() * factor) / 2));
}

void TMAVIKForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain =
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (enter && plain) {
        // ConvBitBtn1 is the default button; a push button with the focus
        // takes Enter for itself.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
            focused->click();
            return;
        }
        if (ui_->ConvBitBtn1->isEnabled()) {
            ui_->ConvBitBtn1->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TMAVIKForm::closeEvent(QCloseEvent* event) {
    viewers_.CloseAll();
    StopRuns();
    // A question or notice of this window would otherwise outlive it.
    for (QDialog* box : findChildren<QDialog*>())
        box->reject();
    QWidget::closeEvent(event);
}

QWidget* TMAVIKForm::Widget(Control control) const {
    switch (control) {
    case Control::ExitBtn: return ui_->ExitBtn;
    case Control::PageControl1: return ui_->PageControl1;
    case Control::InpFileNameStaticText: return ui_->InpFileNameStaticText;
    case Control::InpFileNameEdit1: return ui_->InpFileNameEdit1;
    case Control::SelFile1: return ui_->SelFile1;
    case Control::ViewInpBitBtn1: return ui_->ViewInpBitBtn1;
    case Control::FileSizeLabel1: return ui_->FileSizeLabel1;
    case Control::InfoInpFileLabel1: return ui_->InfoInpFileLabel1;
    case Control::OutFileNameStaticText: return ui_->OutFileNameStaticText;
    case Control::OutFileNameEdit1: return ui_->OutFileNameEdit1;
    case Control::FormatBox1: return ui_->FormatBox1;
    case Control::ViewOutBitBtn1: return ui_->ViewOutBitBtn1;
    case Control::OutInfoLabel1: return ui_->OutInfoLabel1;
    case Control::OutInfoEdit1: return ui_->OutInfoEdit1;
    case Control::TabBox1: return ui_->TabBox1;
    case Control::QueryBitBtn1: return ui_->QueryBitBtn1;
    case Control::TypeInpRadioGroup1: return ui_->TypeInpRadioGroup1;
    case Control::TypeOutRadioGroup1: return ui_->TypeOutRadioGroup1;
    case Control::ConvBitBtn1: return ui_->ConvBitBtn1;
    case Control::Gauge1: return ui_->Gauge1;
    case Control::VersionStaticText: return ui_->VersionStaticText;
    }
    return nullptr;
}

std::string TMAVIKForm::Text(Control control) const {
    QWidget* widget = Widget(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().toStdString();
    return {};
}

void TMAVIKForm::SetText(Control control, const std::string& text) {
    QWidget* widget = Widget(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(FromUtf8(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(FromUtf8(text));
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(FromUtf8(text));
    }
}

bool TMAVIKForm::Enabled(Control control) const { return Widget(control)->isEnabled(); }
void TMAVIKForm::SetEnabled(Control control, bool enabled) { Widget(control)->setEnabled(enabled); }
void TMAVIKForm::SetVisible(Control control, bool visible) { Widget(control)->setVisible(visible); }

bool TMAVIKForm::Checked(Control control) const {
    const auto* box = qobject_cast<QAbstractButton*>(Widget(control));
    return box && box->isChecked();
}

int TMAVIKForm::ItemIndex(Control group) const {
    return static_cast<RadioGroup*>(Widget(group))->itemIndex();
}

void TMAVIKForm::SetItemIndex(Control group, int index) {
    static_cast<RadioGroup*>(Widget(group))->setItemIndex(index);
}

void TMAVIKForm::SetItems(Control group, const std::vector<std::string>& items) {
    QStringList texts;
    for (const std::string& item : items)
        texts.append(FromUtf8(item));
    static_cast<RadioGroup*>(Widget(group))->setItems(texts);
}

void TMAVIKForm::SetHint(Control control, const std::string& hint) { Widget(control)->setToolTip(FromUtf8(hint)); }
void TMAVIKForm::SetProgress(int progress) { ui_->Gauge1->setProgress(progress); }
void TMAVIKForm::Redraw(Control control) { Widget(control)->update(); }
void TMAVIKForm::CloseWindow() { close(); }

std::optional<std::string> TMAVIKForm::ChooseInputFile(const std::string& initialFolder) {
    const std::optional<QString> path = platform_.ChooseInputFile(this, FromUtf8(initialFolder));
    if (!path)
        return std::nullopt;
    return path->toStdString();
}

FormPlatform::Answer TMAVIKForm::ShowMessageBox(bool ownedByWindow, const std::string& text,
                                                const std::string& caption, Icon icon, Buttons buttons,
                                                const std::string& details) {
    return platform_.ShowMessageBox(ownedByWindow ? this : nullptr, FromUtf8(text), FromUtf8(caption), icon,
                                    buttons, FromUtf8(details));
}

void TMAVIKForm::RunProgram(const std::string& program, const std::string& argument) {
    platform_.RunProgram(FromUtf8(program), FromUtf8(argument));
}

bool TMAVIKForm::ProgramFound(const std::string& program) const { return platform_.ProgramFound(FromUtf8(program)); }

std::string TMAVIKForm::ExecutablePath() const { return platform_.ExecutablePath().toStdString(); }
