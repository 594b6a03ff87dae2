#pragma once

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>

class Platform;
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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ConnectEvents();
    void ScaleToScreen();
    // Runs an event operation; an error escaping it goes to the general error box.
    void RunEvent(void (TMAVIKForm::*operation)());
    void ShowError(const QString& text);
    // Sets a label's caption and widens the label to it, never narrower than laid out.
    static void SetCaption(QLabel* label, const QString& caption);

    std::unique_ptr<Ui::TMAVIKForm> ui;
    Platform& platform;
};
