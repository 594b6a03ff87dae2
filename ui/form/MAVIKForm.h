#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "CodeTable.h"
#include "ConvToText.h"
#include "ConversionMode.h"
#include "FormControls.h"
#include "FormPlatform.h"
#include "RecordLayout.h"
#include "RunLifetimes.h"

class FormViewers;
class FormWords;

namespace form {

// The application title: the task bar's name for the program and the
// caption of the general error box.
inline constexpr const char* kApplicationTitle = "MAVIK v.1.0.1";

// The program names of the external viewers and the selection tool.
inline constexpr const char* kByteViewerProgram = "Bytora.exe";
inline constexpr const char* kTextViewerProgram = "Lindor.exe";
inline constexpr const char* kSelectionProgram = "Selmar.exe";

// The main window's behaviour, with no toolkit: its state and one event
// operation per control event, written against its controls and the
// window's seams. The Qt window and the Windows window derive from it,
// bind their controls and call the event operations from their events.
class TMAVIKForm {
public:
    // What a window gives the form. viewers may be null: the programs are
    // then started whether they are found or not.
    struct Seams {
        FormControls& Controls;
        FormPlatform& Platform;
        FormWords& Words;
        RunLifetimes& Runs;
        FormViewers* Viewers;
    };

    explicit TMAVIKForm(const Seams& seams) : seams_(seams) {}
    virtual ~TMAVIKForm() = default;
    TMAVIKForm(const TMAVIKForm&) = delete;
    TMAVIKForm& operator=(const TMAVIKForm&) = delete;

    // The event operations.
    void FormCreate();
    void SelFile1Click();
    void InpFileNameEdit1Change();
    void OutFileNameEdit1Change();
    void TypeInpRadioGroup1Click();
    void TypeOutRadioGroup1Click();
    void TabBox1Click();
    void FormatBox1Click();
    void ConvBitBtn1Click();
    void ViewInpBitBtn1Click();
    void ViewOutBitBtn1Click();
    void QueryBitBtn1Click();
    void VersionStaticTextClick();
    void ExitBtnClick();

    // Runs an event operation; an error escaping it goes to the general error box.
    void RunEvent(void (TMAVIKForm::*operation)());

    // Statistics of the input file chosen last.
    std::int64_t SizeBytes = 0;
    std::int64_t RecordCount = 0;
    // Read by a run on its own thread for every block.
    std::atomic<std::int64_t> BlockCount{0};
    // Folder of the program's own executable, ending in its separator.
    std::string ExeDir;
    bool Converting = false;
    // The two groups' chosen indexes as RunMode::Number makes them; read by
    // a run for every block.
    std::atomic<int> ConversionMode{0};
    // FormatBox1's tick, kept here for a run that reads it for every record.
    std::atomic<bool> FormatChecked{true};
    // The run started last; kept after it ends, used only while Converting.
    ConvToText* Worker() const { return seams_.Runs.Current(); }
    // The code tables this window's runs recode through, loaded at its
    // creation; each run takes a copy when it starts.
    CodeTables Tables;
    // How the last run ended, for the completion notice.
    bool ConversionFailed = false;

    // Shows a run's progress on Gauge1.
    void UpdateGauge(int progress);
    // The completion notice, and the buttons of the finished state. details
    // tells why a run failed and what it left out, under the notice's text,
    // after what the input's first blocks said against its input type.
    void ConvTerminate(const std::string& details = {});
    // The window is closing: a run still going stops at its next block
    // boundary and is waited for, without a notice.
    void StopRuns() { seams_.Runs.StopAndWait(); }

private:
    // The window as a run sees it: three values read on the run's thread,
    // and the two hand-offs carried over to this window's thread.
    class RunSide final : public ConvToTextWindow {
    public:
        explicit RunSide(TMAVIKForm& form) : form_(form) {}
        int ConversionMode() const override { return form_.ConversionMode; }
        std::int64_t BlockCount() const override { return form_.BlockCount; }
        bool FormatBox1() const override { return form_.FormatChecked; }
        void UpdateGauge(ConvToText& run, int progress) override;
        void ConvTerminate(ConvToText& run, const ConversionResult& result) override;
        void RunEnded(ConvToText& run) override;

    private:
        TMAVIKForm& form_;
    };

    void ShowError(const std::string& text);
    // Only the current run, while nobody has stopped it, may speak to the
    // window: a stopped run finishing its last block stays silent.
    bool Speaks(const ConvToText& run) const;
    void StartRun();
    void AskToStop();
    // Starts program on argument, or where it is missing opens our own viewer.
    template <typename OpenOwn>
    void StartProgram(const char* program, const std::string& argument, OpenOwn openOwn);

    Seams seams_;
    RunSide runSide_{*this};
    // The layout of the output the last finished run wrote, for the selection tool.
    std::optional<RecordLayout> finishedLayout_;
    // What the current run's input looked like against its input type, in
    // words; empty when it looked as chosen. Said by its completion notice.
    std::string inputDoubt_;
};

}  // namespace form
