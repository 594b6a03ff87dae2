#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "FormControls.h"
#include "FormPlatform.h"
#include "FormThread.h"
#include "MAVIKForm.h"
#include "RunLifetimes.h"
#include "TranslatedWords.h"

// The main window as a native Windows window: the controls of the form's
// table (made from Main.ui) as the platform's standard controls, bound to
// the form's behaviour. Runs reach the window's thread with SendMessage,
// which is served also while a message box is open.
class Win32Form final : public form::TMAVIKForm,
                        private FormControls,
                        private FormPlatform,
                        private FormThread {
public:
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form() override;

    HWND Window() const { return window_; }
    // Takes one message of the program's loop: Tab in the form's tab order
    // and Enter on the default button are the window's own.
    bool TakeKey(const MSG& message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l);
    void CreateControls();
    void Command(int id, int code);
    void Event(void (form::TMAVIKForm::*operation)()) { RunEvent(operation); }
    HWND Handle(Control control) const { return controls_[static_cast<int>(control)]; }
    int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }
    void Press(HWND button);

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

    // FormPlatform
    std::optional<std::string> ChooseInputFile(const std::string& initialFolder) override;
    Answer ShowMessageBox(bool ownedByWindow, const std::string& text, const std::string& caption, Icon icon,
                          Buttons buttons, const std::string& details) override;
    void RunProgram(const std::string& program, const std::string& argument) override;
    bool ProgramFound(const std::string& program) const override;
    std::string ExecutablePath() const override;

    // FormThread
    void Call(const std::function<void()>& work) override;
    void Post(std::function<void()> work) override;
    void ServeUntil(const std::function<bool()>& done) override;

    struct Group {
        std::vector<HWND> items;
        int index = -1;
    };
    Group* GroupOf(Control control);
    const Group* GroupOf(Control control) const;
    void PlaceItems(Control control);
    void ChooseItem(Control control, int index, bool raise);

    TranslatedWords words_;
    RunLifetimes runs_{static_cast<FormThread&>(*this)};
    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND page_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<HWND> controls_;
    Group inputGroup_, outputGroup_;
    std::vector<HWND> tabOrder_;
    HFONT font_ = nullptr, boldFont_ = nullptr;
    HBRUSH face_ = nullptr;
    int dpi_ = 96;
    int progress_ = 0;
    bool closing_ = false;
};
