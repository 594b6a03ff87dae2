#pragma once

// One control of the main form as Main.ui lays it out, at 96 dpi.
enum class ControlKind { Button, Tabs, Sunken, Edit, Label, Check, Radios, Gauge };

struct ControlEntry {
    const char* Name;
    ControlKind Kind;
    bool OnPage;  // a child of the tab page, else of the window
    int Left, Top, Width, Height;
    int TabOrder;  // -1: takes no focus
    const char* Text;  // caption, or a radio group's title
    const char* Items;  // a radio group's items, "|" between them
    bool Bold, Enabled, Checked, ReadOnly, Default, Centred;
    int ItemIndex;
    const char* Glyph;  // the picture's name in ui/main/glyphs, or empty
};

// A control's id is its place in the table plus this; a radio group's
// items follow at kItemIdBase + 8 x the group's place + the item.
inline constexpr int kControlIdBase = 1000;
inline constexpr int kItemIdBase = 2000;
