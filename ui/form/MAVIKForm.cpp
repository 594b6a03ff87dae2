#include "MAVIKForm.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "Charset.h"
#include "FormViewers.h"
#include "FormWords.h"
#include "InputFileStatistics.h"
#include "InstalledLayout.h"
#include "RunWords.h"

namespace form {

namespace {

const std::string kNoticeCaption = "Внимание !";

// The separator as the run writes it: the edit's text in windows-1251.
std::string SeparatorBytes(const std::string& text) {
    try {
        return Utf8ToCharset(Charset::Windows1251, text);
    } catch (const std::invalid_argument&) {
        throw std::runtime_error("The separator has characters outside windows-1251");
    }
}

}  // namespace

void TMAVIKForm::RunEvent(void (TMAVIKForm::*operation)()) {
    try {
        (this->*operation)();
    } catch (const std::exception& error) {
        ShowError(ErrorWords(error, seams_.Words));
    } catch (...) {
        ShowError({});
    }
}

void TMAVIKForm::ShowError(const std::string& text) {
    // The full stop goes after any last character above "." in character
    // order: a text ending in a letter, a digit or "?" gets one, one ending
    // in ".", "!" or ")" does not. The rule as users have always seen it,
    // not a sentence check. A UTF-8 lead or trailing byte is above it too.
    std::string message = text;
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    seams_.Platform.ShowMessageBox(false, message, kApplicationTitle, FormPlatform::Icon::Error,
                                   FormPlatform::Buttons::Ok, {});
}

void TMAVIKForm::FormCreate() {
    FormControls& controls = seams_.Controls;
    controls.SetText(Control::FileSizeLabel1, {});
    controls.SetText(Control::InfoInpFileLabel1, {});
    const std::string exePath = seams_.Platform.ExecutablePath();
#ifdef _WIN32
    ExeDir = exePath.substr(0, exePath.find_last_of("/\\") + 1);
#else
    ExeDir = exePath.substr(0, exePath.rfind('/') + 1);
#endif
    LoadCodeTables(Tables);
}

void TMAVIKForm::SelFile1Click() {
    const std::optional<std::string> path = seams_.Platform.ChooseInputFile("input");
    if (!path)
        return;
    FormControls& controls = seams_.Controls;
    controls.SetProgress(0);
    controls.SetText(Control::InpFileNameEdit1, *path);  // a new path derives the output name
    const InputFileStatistics statistics = MeasureInputFile(controls.Text(Control::InpFileNameEdit1));
    SizeBytes = statistics.SizeBytes;
    BlockCount = statistics.BlockCount;
    RecordCount = statistics.RecordCount;
    controls.SetText(Control::FileSizeLabel1, "Размер: " + std::to_string(SizeBytes) + " байт");
    controls.SetText(Control::InfoInpFileLabel1, "Записей: " + std::to_string(RecordCount) +
                                                     " Блоков: " + std::to_string(BlockCount.load()));
    controls.SetEnabled(Control::ConvBitBtn1, true);
    controls.SetEnabled(Control::ViewInpBitBtn1, true);
    controls.SetEnabled(Control::ViewOutBitBtn1, false);
    controls.SetEnabled(Control::QueryBitBtn1, false);
}

void TMAVIKForm::InpFileNameEdit1Change() {
    FormControls& controls = seams_.Controls;
    const std::string path = controls.Text(Control::InpFileNameEdit1);
    if (const auto output = DeriveOutputName(path, ConversionMode))
        controls.SetText(Control::OutFileNameEdit1, *output);
    controls.SetHint(Control::InpFileNameEdit1, path);
}

void TMAVIKForm::OutFileNameEdit1Change() {
    seams_.Controls.SetHint(Control::OutFileNameEdit1, seams_.Controls.Text(Control::OutFileNameEdit1));
}

void TMAVIKForm::TypeInpRadioGroup1Click() {
    FormControls& controls = seams_.Controls;
    const int input = controls.ItemIndex(Control::TypeInpRadioGroup1);
    ConversionMode = RunMode::Number(input, controls.ItemIndex(Control::TypeOutRadioGroup1));
    if (input == 0 || input == 1) {
        // Both captions are the program's own as users know them: two blanks
        // in "Бинарный  ASCII", and "EDCDIC" spelt so. Not typos to mend.
        controls.SetItems(Control::TypeOutRadioGroup1,
                          {"Текстовый ASCII", input == 0 ? "Бинарный  ASCII" : "Бинарный EDCDIC"});
        controls.SetItemIndex(Control::TypeOutRadioGroup1, 0);  // raises TypeOutRadioGroup1Click
        controls.Redraw(Control::TypeOutRadioGroup1);
    } else if (input == 2 || input == 3) {
        seams_.Platform.ShowMessageBox(true, "В данной версии не реализовано !", kNoticeCaption,
                                       FormPlatform::Icon::Information, FormPlatform::Buttons::Ok, {});
        controls.SetItemIndex(Control::TypeInpRadioGroup1, 0);  // raises this operation again
    }
}

void TMAVIKForm::TypeOutRadioGroup1Click() {
    FormControls& controls = seams_.Controls;
    const int output = controls.ItemIndex(Control::TypeOutRadioGroup1);
    ConversionMode = RunMode::Number(controls.ItemIndex(Control::TypeInpRadioGroup1), output);
    if (output == 0 || output == 1) {
        const bool text = output == 0;
        for (const Control control : {Control::FormatBox1, Control::OutInfoLabel1, Control::OutInfoEdit1,
                                      Control::TabBox1})
            controls.SetVisible(control, text);
        if (text) {
            controls.SetText(Control::FormatBox1, "Форматировать");
            controls.SetText(Control::OutInfoLabel1, "Разделитель:");
            controls.SetText(Control::TabBox1, "ТАВ");  // Cyrillic Te, A, Ve
        }
    }
    InpFileNameEdit1Change();
}

void TMAVIKForm::TabBox1Click() {
    seams_.Controls.SetEnabled(Control::OutInfoEdit1, !seams_.Controls.Checked(Control::TabBox1));
}

void TMAVIKForm::FormatBox1Click() { FormatChecked = seams_.Controls.Checked(Control::FormatBox1); }

void TMAVIKForm::ConvBitBtn1Click() {
    if (Converting)
        AskToStop();
    else if (RunMode::FromNumber(ConversionMode))
        StartRun();
}

void TMAVIKForm::StartRun() {
    FormControls& controls = seams_.Controls;
    const std::string separator = SeparatorBytes(controls.Text(Control::OutInfoEdit1));
    // A table that did not load at start-up may have been copied in since.
    // Without it the run would write zeros and call that success, so a
    // table that still cannot be loaded stops the start here: no run, no file.
    if (const auto kind = RecodeTableFor(ConversionMode); kind && !Tables[*kind])
        LoadCodeTable(Tables, *kind);
    finishedLayout_.reset();
    // The run goes ahead whatever the input holds; its notice says so. (A
    // mode that does not run, or no input, leaves nothing to doubt.)
    const auto mode = RunMode::FromNumber(ConversionMode);
    const BlockCode code = mode && mode->Input() == InputCode::Ascii ? BlockCode::Ascii : BlockCode::Ebcdic;
    inputDoubt_ = InputDoubtWords(CheckInput(controls.Text(Control::InpFileNameEdit1), code), code, seams_.Words);
    seams_.Runs.Start(runSide_, ConvToTextStart{controls.Text(Control::InpFileNameEdit1),
                                                controls.Text(Control::OutFileNameEdit1), separator,
                                                controls.Checked(Control::TabBox1), ConversionMode, Tables});
    Converting = true;
    controls.SetText(Control::ConvBitBtn1, "Остановить");
}

void TMAVIKForm::AskToStop() {
    RunLifetimes& runs = seams_.Runs;
    const RunLifetimes::Serial asked = runs.CurrentSerial();
    // The run waits at its next block boundary, holding nothing this
    // thread needs; its hand-offs are still served while the box is open.
    Worker()->Pause();
    const FormPlatform::Answer answer =
        seams_.Platform.ShowMessageBox(true, "Прекратить преобразование ?", "Вопрос", FormPlatform::Icon::Question,
                                       FormPlatform::Buttons::YesNo, {});
    // The window may have closed while the question was open: that ended
    // the run, may have freed it, and leaves nothing to announce.
    ConvToText* run = runs.Find(asked);
    if (!run || runs.Stopping())
        return;
    // A run that ended while the question was open has been announced already.
    if (answer == FormPlatform::Answer::Yes && Converting && run == Worker()) {
        Converting = false;
        run->Stop();
        run->Resume();
        ConversionFailed = true;
        ConvTerminate(seams_.Words.translate("TMAVIKForm", "The conversion was stopped by the user."));
    } else {
        run->Resume();
    }
}

void TMAVIKForm::UpdateGauge(int progress) { seams_.Controls.SetProgress(progress); }

void TMAVIKForm::ConvTerminate(const std::string& details) {
    Converting = false;
    // An output made from what is not call records of the chosen code is no
    // success, though no step failed: of the two outcomes only the warning
    // does not say that nothing went wrong.
    const std::string doubt = std::exchange(inputDoubt_, {});
    const bool warn = ConversionFailed || !doubt.empty();
    const std::string outcome = warn ? "Возникла ошибка или отказ от преобразования !"
                                     : "Ошибок при преобразовании не обнаружено !";
    const std::string said = doubt.empty() || details.empty() ? doubt + details : doubt + "\n" + details;
    seams_.Platform.ShowMessageBox(true, "Завершение преобразования !\r" + outcome, kNoticeCaption,
                                   warn ? FormPlatform::Icon::Warning : FormPlatform::Icon::Information,
                                   FormPlatform::Buttons::Ok, said);
    FormControls& controls = seams_.Controls;
    controls.SetText(Control::ConvBitBtn1, "Преобразовать");
    controls.SetEnabled(Control::ConvBitBtn1, false);
    controls.SetEnabled(Control::ViewOutBitBtn1, true);
    controls.SetEnabled(Control::QueryBitBtn1, true);
}

bool TMAVIKForm::Speaks(const ConvToText& run) const {
    return !seams_.Runs.Stopping() && &run == Worker() && run.IsConverting();
}

void TMAVIKForm::RunSide::UpdateGauge(ConvToText& run, int progress) {
    form_.seams_.Runs.HandOff(run, [this, &run, progress] {
        if (form_.Speaks(run))
            form_.UpdateGauge(progress);
    });
}

void TMAVIKForm::RunSide::ConvTerminate(ConvToText& run, const ConversionResult& result) {
    form_.seams_.Runs.HandOff(run, [this, &run, &result] {
        // The layout of what this run wrote: its separator, and the mode and
        // format box as its last block read them.
        const ConvToTextStart& start = run.StartValues();
        if (&run == form_.Worker())
            if (const auto mode = RunMode::FromNumber(form_.ConversionMode))
                form_.finishedLayout_ = mode->OutputLayout(
                    mode->Separator(start.TabBox1, start.SeparatorText), form_.FormatChecked);
        if (!form_.Speaks(run))
            return;
        form_.ConversionFailed = result.Failed;
        form_.ConvTerminate(RunDetails(result, start.InputPath, start.OutputPath, form_.seams_.Words));
    });
}

void TMAVIKForm::RunSide::RunEnded(ConvToText&) { form_.seams_.Runs.RunEnded(); }

template <typename OpenOwn>
void TMAVIKForm::StartProgram(const char* program, const std::string& argument, OpenOwn openOwn) {
    if (!seams_.Viewers || seams_.Platform.ProgramFound(program))
        seams_.Platform.RunProgram(program, argument);
    else
        openOwn(*seams_.Viewers);
}

void TMAVIKForm::ViewInpBitBtn1Click() {
    const std::string path = seams_.Controls.Text(Control::InpFileNameEdit1);
    StartProgram(kByteViewerProgram, path, [&](FormViewers& viewers) {
        // Decoded as the input type says: EBCDIC through the loaded table.
        const bool ebcdic = seams_.Controls.ItemIndex(Control::TypeInpRadioGroup1) == 0;
        viewers.ViewBytes(path, {ebcdic ? ByteDecoding::Input::Ebcdic : ByteDecoding::Input::Ascii,
                                 Tables.EbcdicToAscii ? &*Tables.EbcdicToAscii : nullptr});
    });
}

void TMAVIKForm::ViewOutBitBtn1Click() {
    const std::string path = seams_.Controls.Text(Control::OutFileNameEdit1);
    StartProgram(kTextViewerProgram, path, [&](FormViewers& viewers) { viewers.ViewText(path); });
}

void TMAVIKForm::QueryBitBtn1Click() {
    const std::string path = seams_.Controls.Text(Control::OutFileNameEdit1);
    StartProgram(kSelectionProgram, path, [&](FormViewers& viewers) {
        viewers.Select(path, finishedLayout_, Tables.EbcdicToAscii ? &*Tables.EbcdicToAscii : nullptr);
    });
}

void TMAVIKForm::VersionStaticTextClick() {
    // An installed program finds the text in its shared-data folder.
    const std::string infoText = InfoTextPath(ExeDir);
    StartProgram(kTextViewerProgram, infoText, [&](FormViewers& viewers) { viewers.ViewText(infoText); });
}

void TMAVIKForm::ExitBtnClick() { seams_.Controls.CloseWindow(); }

}  // namespace form
