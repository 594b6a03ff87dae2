#pragma once

#include <string>
#include <vector>

// The main form's controls. Each name is the control's object name in the
// Qt window and its control id's name in the Windows one.
enum class Control {
    ExitBtn,
    PageControl1,
    InpFileNameStaticText,
    InpFileNameEdit1,
    SelFile1,
    ViewInpBitBtn1,
    FileSizeLabel1,
    InfoInpFileLabel1,
    OutFileNameStaticText,
    OutFileNameEdit1,
    FormatBox1,
    ViewOutBitBtn1,
    OutInfoLabel1,
    OutInfoEdit1,
    TabBox1,
    QueryBitBtn1,
    TypeInpRadioGroup1,
    TypeOutRadioGroup1,
    ConvBitBtn1,
    Gauge1,
    VersionStaticText,
};

// What the form's logic reads from and sets on its controls; texts in UTF-8.
// A window binds its own controls to it and keeps the notification rules:
// setting a text that differs from the current one raises the control's
// change event once; setting a radio group's chosen index to a new value
// raises the group's click event once, after the index is in place;
// nothing else raises an event.
class FormControls {
public:
    virtual std::string Text(Control control) const = 0;
    // For a label, the caption; the label widens to it, never narrower than laid out.
    virtual void SetText(Control control, const std::string& text) = 0;
    virtual bool Enabled(Control control) const = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;
    virtual void SetVisible(Control control, bool visible) = 0;
    virtual bool Checked(Control control) const = 0;
    // A radio group's chosen item, -1 for none.
    virtual int ItemIndex(Control group) const = 0;
    virtual void SetItemIndex(Control group, int index) = 0;
    // Replaces a radio group's items, leaving no item chosen; raises nothing.
    virtual void SetItems(Control group, const std::vector<std::string>& items) = 0;
    virtual void SetHint(Control control, const std::string& hint) = 0;
    // Gauge1's value, clamped to 0-100.
    virtual void SetProgress(int progress) = 0;
    virtual void Redraw(Control control) = 0;
    // Closes the window, which ends the program.
    virtual void CloseWindow() = 0;

protected:
    ~FormControls() = default;
};
