#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>

#include "ConversionRuns.h"
#include "FormControls.h"
#include "FormPlatform.h"
#include "MAVIKForm.h"
#include "QtTranslations.h"
#include "ViewerOpener.h"

class Platform;
namespace Ui {
class TMAVIKForm;
}

// The application title: the task bar's name for the program and the
// caption of the general error box.
inline const QString kApplicationTitle = QString::fromUtf8(form::kApplicationTitle);

// The notice's smaller text at the end of a run, in the window's language.
QString RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath);

// The main window in Qt. Its controls come from Main.ui; its behaviour is
// the form's (ui/form), to which this class binds the controls, their
// events, the Platform and Qt's event loop.
class TMAVIKForm : public QWidget, public form::TMAVIKForm, private FormControls, private FormPlatform {
    Q_OBJECT

public:
    explicit TMAVIKForm(Platform& platform, QWidget* parent = nullptr);
    ~TMAVIKForm() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Closing during a run stops it at its next block boundary and waits
    // for it, without a notice; a question or notice still open goes with
    // the window.
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectEvents();
    void ScaleToScreen();
    QWidget* Widget(Control control) const;

    // FormControls
    std::string Text(Control control) const override;
    void SetText(Control control, const std::string& text) override;
    bool Enabled(Control control) const override;
    void SetEnabled(Control control, bool enabled) override;
    void SetVisible(Control control, bool visible) override;
    bool Checked(Control control) const override;
    int ItemIndex(Control group) const override;
    void SetItemIndex(Control group, int index) override;
    void SetItems(Control group, const std::vector<std::string>& items) override;
    void SetHint(Control control, const std::string& hint) override;
    void SetProgress(int progress) override;
    void Redraw(Control control) override;
    void CloseWindow() override;

    // FormPlatform, on the Platform this window was given.
    std::optional<std::string> ChooseInputFile(const std::string& initialFolder) override;
    Answer ShowMessageBox(bool ownedByWindow, const std::string& text, const std::string& caption, Icon icon,
                          Buttons buttons, const std::string& details) override;
    void RunProgram(const std::string& program, const std::string& argument) override;
    bool ProgramFound(const std::string& program) const override;
    std::string ExecutablePath() const override;

    std::unique_ptr<Ui::TMAVIKForm> ui_;
    Platform& platform_;
    QtFormWords words_;
    ConversionRuns runs_;
    // The viewers opened where the external programs are missing.
    ViewerOpener viewers_{this};
};
