#include "Main.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "CodeTable.h"
#include "ErrorText.h"
#include "IOError.h"
#include "ConversionMode.h"
#include "InputFileStatistics.h"
#include "InstalledLayout.h"
#include "Platform.h"
#include "RunReport.h"
#include "Windows1251.h"
#include "Windows1251Validator.h"
#include "ui_Main.h"

namespace {

// The window's outer size; the client area is what a classic frame
// (4-pixel border, 19-pixel caption) leaves of it.
constexpr QSize kOuterSize(506, 400);

const QString kNoticeCaption = QStringLiteral("Внимание !");

}  // namespace

TMAVIKForm::TMAVIKForm(Platform& platform, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TMAVIKForm>()), platform_(platform) {
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
    RunEvent(&TMAVIKForm::FormCreate);
}

// The runs' hand-offs reach the controls, so the runs end before they go.
TMAVIKForm::~TMAVIKForm() { runs_.StopAndWait(); }

void TMAVIKForm::ConnectEvents() {
    const auto event = [this](void (TMAVIKForm::*operation)()) {
        return [this, operation] { RunEvent(operation); };
    };
    connect(ui_->SelFile1, &QPushButton::clicked, this, event(&TMAVIKForm::SelFile1Click));
    connect(ui_->InpFileNameEdit1, &QLineEdit::textChanged, this,
            event(&TMAVIKForm::InpFileNameEdit1Change));
    connect(ui_->OutFileNameEdit1, &QLineEdit::textChanged, this,
            event(&TMAVIKForm::OutFileNameEdit1Change));
    connect(ui_->TypeInpRadioGroup1, &RadioGroup::itemClicked, this,
            event(&TMAVIKForm::TypeInpRadioGroup1Click));
    connect(ui_->TypeOutRadioGroup1, &RadioGroup::itemClicked, this,
            event(&TMAVIKForm::TypeOutRadioGroup1Click));
    connect(ui_->TabBox1, &QCheckBox::toggled, this, event(&TMAVIKForm::TabBox1Click));
    connect(ui_->FormatBox1, &QCheckBox::toggled, this,
            [this](bool checked) { FormatChecked = checked; });
    connect(ui_->ConvBitBtn1, &QPushButton::clicked, this, event(&TMAVIKForm::ConvBitBtn1Click));
    connect(ui_->ViewInpBitBtn1, &QPushButton::clicked, this,
            event(&TMAVIKForm::ViewInpBitBtn1Click));
    connect(ui_->ViewOutBitBtn1, &QPushButton::clicked, this,
            event(&TMAVIKForm::ViewOutBitBtn1Click));
    connect(ui_->QueryBitBtn1, &QPushButton::clicked, this, event(&TMAVIKForm::QueryBitBtn1Click));
    connect(ui_->VersionStaticText, &StaticText::clicked, this,
            event(&TMAVIKForm::VersionStaticTextClick));
    connect(ui_->ExitBtn, &QPushButton::clicked, this, event(&TMAVIKForm::ExitBtnClick));
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

void TMAVIKForm::RunEvent(void (TMAVIKForm::*operation)()) {
    try {
        (this->*operation)();
    } catch (const std::exception& error) {
        ShowError(QString::fromStdString(error.what()));
    } catch (...) {
        ShowError(QString());
    }
}

void TMAVIKForm::ShowError(const QString& text) {
    // The full stop goes after any last character above "." in character
    // order: a text ending in a letter, a digit or "?" gets one, one ending
    // in ".", "!" or ")" does not. The rule as users have always seen it,
    // not a sentence check.
    QString message = text;
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        message += QLatin1Char('.');
    platform_.ShowMessageBox(nullptr, message, kApplicationTitle, Platform::Icon::Error,
                            Platform::Buttons::Ok);
}

void TMAVIKForm::SetCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
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

void TMAVIKForm::FormCreate() {
    ui_->FileSizeLabel1->clear();
    ui_->InfoInpFileLabel1->clear();
    const QString exePath = platform_.ExecutablePath();
    ExeDir = exePath.left(exePath.lastIndexOf(QLatin1Char('/')) + 1);
    LoadCodeTables(Tables);
}

void TMAVIKForm::SelFile1Click() {
    const std::optional<QString> path = platform_.ChooseInputFile(this, QStringLiteral("input"));
    if (!path)
        return;
    ui_->Gauge1->setProgress(0);
    ui_->InpFileNameEdit1->setText(*path);  // a new path derives the output name
    const InputFileStatistics statistics =
        MeasureInputFile(ui_->InpFileNameEdit1->text().toStdString());
    SizeBytes = statistics.SizeBytes;
    BlockCount = statistics.BlockCount;
    RecordCount = statistics.RecordCount;
    SetCaption(ui_->FileSizeLabel1,
               QStringLiteral("Размер: %1 байт").arg(SizeBytes));
    SetCaption(ui_->InfoInpFileLabel1,
               QStringLiteral("Записей: %1 Блоков: %2").arg(RecordCount).arg(BlockCount.load()));
    ui_->ConvBitBtn1->setEnabled(true);
    ui_->ViewInpBitBtn1->setEnabled(true);
    ui_->ViewOutBitBtn1->setEnabled(false);
    ui_->QueryBitBtn1->setEnabled(false);
}

void TMAVIKForm::InpFileNameEdit1Change() {
    const QString path = ui_->InpFileNameEdit1->text();
    if (const auto output = DeriveOutputName(path.toStdString(), ConversionMode))
        ui_->OutFileNameEdit1->setText(QString::fromStdString(*output));
    ui_->InpFileNameEdit1->setToolTip(path);
}

void TMAVIKForm::OutFileNameEdit1Change() {
    ui_->OutFileNameEdit1->setToolTip(ui_->OutFileNameEdit1->text());
}

void TMAVIKForm::TypeInpRadioGroup1Click() {
    const int input = ui_->TypeInpRadioGroup1->itemIndex();
    ConversionMode = input * 10 + ui_->TypeOutRadioGroup1->itemIndex();
    if (input == 0 || input == 1) {
        // Both captions are the program's own as users know them: two blanks
        // in "Бинарный  ASCII", and "EDCDIC" spelt so. Not typos to mend.
        ui_->TypeOutRadioGroup1->setItems(
            {QStringLiteral("Текстовый ASCII"),
             input == 0 ? QStringLiteral("Бинарный  ASCII") : QStringLiteral("Бинарный EDCDIC")});
        ui_->TypeOutRadioGroup1->setItemIndex(0);  // raises TypeOutRadioGroup1Click
        ui_->TypeOutRadioGroup1->update();
    } else if (input == 2 || input == 3) {
        platform_.ShowMessageBox(this, QStringLiteral("В данной версии не реализовано !"),
                                kNoticeCaption, Platform::Icon::Information,
                                Platform::Buttons::Ok);
        ui_->TypeInpRadioGroup1->setItemIndex(0);  // raises this operation again
    }
}

void TMAVIKForm::TypeOutRadioGroup1Click() {
    const int output = ui_->TypeOutRadioGroup1->itemIndex();
    ConversionMode = ui_->TypeInpRadioGroup1->itemIndex() * 10 + output;
    if (output == 0) {
        ui_->FormatBox1->setVisible(true);
        ui_->FormatBox1->setText(QStringLiteral("Форматировать"));
        ui_->OutInfoLabel1->setVisible(true);
        SetCaption(ui_->OutInfoLabel1, QStringLiteral("Разделитель:"));
        ui_->OutInfoEdit1->setVisible(true);
        ui_->TabBox1->setVisible(true);
        ui_->TabBox1->setText(QStringLiteral("ТАВ"));  // Cyrillic Te, A, Ve
    } else if (output == 1) {
        ui_->FormatBox1->setVisible(false);
        ui_->OutInfoLabel1->setVisible(false);
        ui_->OutInfoEdit1->setVisible(false);
        ui_->TabBox1->setVisible(false);
    }
    InpFileNameEdit1Change();
}

void TMAVIKForm::TabBox1Click() {
    ui_->OutInfoEdit1->setEnabled(!ui_->TabBox1->isChecked());
}

void TMAVIKForm::ConvBitBtn1Click() {
    if (Converting)
        AskToStop();
    else if (IsRunnableMode(ConversionMode))
        StartRun();
}

void TMAVIKForm::StartRun() {
    const auto separator = ToWindows1251(ui_->OutInfoEdit1->text().toStdU16String());
    if (!separator)
        throw std::runtime_error("The separator has characters outside windows-1251");
    // A table that did not load at start-up may have been copied in since.
    // Without it the run would write zeros and call that success, so a
    // table that still cannot be loaded stops the start here: no run, no file.
    if (const auto kind = RecodeTableFor(ConversionMode); kind && !Tables[*kind])
        LoadCodeTable(Tables, *kind);
    runs_.Start(runSide_, ConvToTextStart{ui_->InpFileNameEdit1->text().toStdString(),
                                        ui_->OutFileNameEdit1->text().toStdString(), *separator,
                                        ui_->TabBox1->isChecked(), ConversionMode, Tables});
    Converting = true;
    ui_->ConvBitBtn1->setText(QStringLiteral("Остановить"));
}

void TMAVIKForm::AskToStop() {
    const ConversionRuns::Serial asked = runs_.CurrentSerial();
    // The run waits at its next block boundary, holding nothing this
    // thread needs; its hand-offs are still served while the box is open.
    Worker()->Pause();
    const Platform::Answer answer =
        platform_.ShowMessageBox(this, QStringLiteral("Прекратить преобразование ?"),
                                QStringLiteral("Вопрос"), Platform::Icon::Question,
                                Platform::Buttons::YesNo);
    // The window may have closed while the question was open: that ended
    // the run, may have freed it, and leaves nothing to announce.
    ConvToText* run = runs_.Find(asked);
    if (!run || runs_.Stopping())
        return;
    // A run that ended while the question was open has been announced already.
    if (answer == Platform::Answer::Yes && Converting && run == Worker()) {
        Converting = false;
        run->Stop();
        run->Resume();
        ConversionFailed = true;
        ConvTerminate(tr("The conversion was stopped by the user."));
    } else {
        run->Resume();
    }
}

// The engine decides what there is to say; the words are the window's.
QString RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath) {
    if (result.Failed) {
        if (result.ErrorFile.empty())
            return QString::fromStdString(result.ErrorText);
        const QString error = IOErrorText(IOError(result.ErrorCode, result.ErrorFile));
        const RunFailureCause cause = CauseOfFailure(result, inputPath, outputPath);
        switch (cause.What) {
        case RunFailureCause::Why::OutputIsInput:
            return TMAVIKForm::tr("%1 (it is the input file)").arg(error);
        case RunFailureCause::Why::FolderMissing:
            return TMAVIKForm::tr("%1 (the folder %2 does not exist)").arg(error, QString::fromStdString(cause.Folder));
        case RunFailureCause::Why::Other:
            break;
        }
        return error;
    }
    if (LeftOutTail(result).empty())
        return {};
    const InputFileStatistics whole = StatisticsOfSize(result.InputSize);
    const std::int64_t tail = whole.TailBytes();  // less than a block: %n holds it
    return TMAVIKForm::tr("The last %n bytes (from offset %1) are not a whole 2048-byte block and were not converted.",
                          nullptr, static_cast<int>(tail))
        .arg(whole.SizeBytes - tail);
}

void TMAVIKForm::UpdateGauge(int progress) { ui_->Gauge1->setProgress(progress); }

void TMAVIKForm::ConvTerminate(const QString& details) {
    Converting = false;
    const QString outcome = ConversionFailed
                                ? QStringLiteral("Возникла ошибка или отказ от преобразования !")
                                : QStringLiteral("Ошибок при преобразовании не обнаружено !");
    platform_.ShowMessageBox(this, QStringLiteral("Завершение преобразования !\r") + outcome,
                            kNoticeCaption,
                            ConversionFailed ? Platform::Icon::Warning : Platform::Icon::Information,
                            Platform::Buttons::Ok, details);
    ui_->ConvBitBtn1->setText(QStringLiteral("Преобразовать"));
    ui_->ConvBitBtn1->setEnabled(false);
    ui_->ViewOutBitBtn1->setEnabled(true);
    ui_->QueryBitBtn1->setEnabled(true);
}

bool TMAVIKForm::Speaks(const ConvToText& run) const {
    return !runs_.Stopping() && &run == Worker() && run.IsConverting();
}

void TMAVIKForm::RunSide::UpdateGauge(ConvToText& run, int progress) {
    form_.runs_.HandOff(run, [this, &run, progress] {
        if (form_.Speaks(run))
            form_.UpdateGauge(progress);
    });
}

void TMAVIKForm::RunSide::ConvTerminate(ConvToText& run, const ConversionResult& result) {
    form_.runs_.HandOff(run, [this, &run, &result] {
        if (!form_.Speaks(run))
            return;
        const ConvToTextStart& start = run.StartValues();
        form_.ConversionFailed = result.Failed;
        form_.ConvTerminate(RunDetails(result, start.InputPath, start.OutputPath));
    });
}

void TMAVIKForm::RunSide::RunEnded(ConvToText&) { form_.runs_.RunEnded(); }

void TMAVIKForm::closeEvent(QCloseEvent* event) {
    viewers_.CloseAll();
    runs_.StopAndWait();
    // A question or notice of this window would otherwise outlive it.
    for (QDialog* box : findChildren<QDialog*>())
        box->reject();
    QWidget::closeEvent(event);
}

void TMAVIKForm::ViewInpBitBtn1Click() {
    // Decoded as the input type says: EBCDIC through the loaded table.
    const bool ebcdic = ui_->TypeInpRadioGroup1->itemIndex() == 0;
    viewers_.ViewBytes(ui_->InpFileNameEdit1->text(),
                      {ebcdic ? ByteDecoding::Input::Ebcdic : ByteDecoding::Input::Ascii,
                       Tables.EbcdicToAscii ? &*Tables.EbcdicToAscii : nullptr});
}

void TMAVIKForm::ViewOutBitBtn1Click() { viewers_.ViewText(ui_->OutFileNameEdit1->text()); }

void TMAVIKForm::QueryBitBtn1Click() {
    // The window's current types say what the output is.
    const int mode = ConversionMode;
    std::optional<RecordLayout> layout;
    if (OutputTypeFor(mode) == OutputType::Binary) {
        layout = RecordLayout::Block(mode == kAsciiToEbcdicImage ? BlockCode::Ebcdic : BlockCode::Ascii);
    } else if (const auto separator = ToWindows1251(ui_->OutInfoEdit1->text().toStdU16String())) {
        const std::string fixed = FixSeparator(mode, ui_->TabBox1->isChecked(), *separator);
        if (!fixed.empty())
            layout = FormatChecked ? RecordLayout::Formatted(fixed) : RecordLayout::Raw(fixed);
        else if (!FormatChecked)
            layout = RecordLayout::Block(BlockCode::Ascii);  // raw lines run together: the block image
    }
    viewers_.Select(ui_->OutFileNameEdit1->text(), layout,
                   Tables.EbcdicToAscii ? &*Tables.EbcdicToAscii : nullptr);
}

void TMAVIKForm::VersionStaticTextClick() {
    // An installed program finds the text in its shared-data folder.
    const QString infoText =
        QFile::decodeName(InfoTextPath(QFile::encodeName(ExeDir).toStdString()).c_str());
    viewers_.ViewText(infoText);
}

void TMAVIKForm::ExitBtnClick() {
    close();
}
