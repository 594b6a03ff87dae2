#pragma once

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>

#include "CodeTable.h"
#include "ConvToText.h"
#include "ConversionRuns.h"
#include "ViewerOpener.h"

class Platform;

// The notice's smaller text at the end of a run, in the window's language:
// why it failed, its file and the cause the engine found, or what it left
// out; empty otherwise.
QString RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath);
class QLabel;
namespace Ui {
class TMAVIKForm;
}

// The application title: the task bar's name for the program and the
// caption of the general error box.
inline const QString kApplicationTitle = QStringLiteral("MAVIK v.1.0.1");

// The main window. Its controls come from Main.ui; this class holds the
// window's state and one event operation per control event.
class TMAVIKForm : public QWidget {
    Q_OBJECT

public:
    explicit TMAVIKForm(Platform& platform, QWidget* parent = nullptr);
    ~TMAVIKForm() override;

    // The event operations. Each is connected once, in ConnectEvents.
    void FormCreate();
    void SelFile1Click();
    void InpFileNameEdit1Change();
    void OutFileNameEdit1Change();
    void TypeInpRadioGroup1Click();
    void TypeOutRadioGroup1Click();
    void TabBox1Click();
    void ConvBitBtn1Click();
    void ViewInpBitBtn1Click();
    void ViewOutBitBtn1Click();
    void QueryBitBtn1Click();
    void VersionStaticTextClick();
    void ExitBtnClick();

    // Statistics of the input file chosen last.
    std::int64_t SizeBytes = 0;
    std::int64_t RecordCount = 0;
    // Read by a run on its own thread for every block.
    std::atomic<std::int64_t> BlockCount{0};
    // Folder of the program's own executable, ending in '/'.
    QString ExeDir;
    bool Converting = false;
    // Input type index x 10 + output type index; read by a run for every block.
    std::atomic<int> ConversionMode{0};
    // FormatBox1's tick, kept here for a run that reads it for every record.
    std::atomic<bool> FormatChecked{true};
    // The run started last; kept after it ends, used only while Converting.
    ConvToText* Worker() const { return runs_.Current(); }
    // The code tables this window's runs recode through, loaded at its
    // creation; each run takes a copy when it starts.
    CodeTables Tables;
    // How the last run ended, for the completion notice.
    bool ConversionFailed = false;

    // Shows a run's progress on Gauge1.
    void UpdateGauge(int progress);
    // The completion notice, and the buttons of the finished state. details
    // tells why a run failed and what it left out, under the notice's text.
    void ConvTerminate(const QString& details = QString());

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Closing during a run stops it at its next block boundary and waits
    // for it, without a notice; a question or notice still open goes with
    // the window.
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectEvents();
    void ScaleToScreen();
    // Runs an event operation; an error escaping it goes to the general error box.
    void RunEvent(void (TMAVIKForm::*operation)());
    void ShowError(const QString& text);
    // Sets a label's caption and widens the label to it, never narrower than laid out.
    static void SetCaption(QLabel* label, const QString& caption);

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

    // Only the current run, while nobody has stopped it, may speak to the
    // window: a stopped run finishing its last block stays silent.
    bool Speaks(const ConvToText& run) const;
    void StartRun();
    void AskToStop();

    std::unique_ptr<Ui::TMAVIKForm> ui_;
    Platform& platform_;
    RunSide runSide_{*this};
    ConversionRuns runs_;
    // The viewers opened where the external programs are missing.
    ViewerOpener viewers_{platform_, this};
};
