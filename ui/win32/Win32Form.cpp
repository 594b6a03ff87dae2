#include "Win32Form.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>

#include "Charset.h"
#include "FormControls.h"
#include "Glyph.h"
#include "MainControls.h"

#include "../main/glyphs/convert.xpm"
#include "../main/glyphs/exit.xpm"
#include "../main/glyphs/query.xpm"
#include "../main/glyphs/view.xpm"

namespace {

constexpr UINT kCallMessage = WM_APP + 1;
constexpr UINT kPostMessage = WM_APP + 2;
constexpr int kOuterWidth = 506, kOuterHeight = 400;
const wchar_t kWindowClass[] = L"TMAVIKForm";
const wchar_t kPageClass[] = L"MAVIKPage";
const wchar_t kGaugeClass[] = L"MAVIKGauge";

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::wstring WindowText(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

std::vector<std::string> Split(const char* items) {
    std::vector<std::string> parts;
    std::string all = items;
    if (all.empty())
        return parts;
    for (std::size_t from = 0;;) {
        const std::size_t bar = all.find('|', from);
        parts.push_back(all.substr(from, bar - from));
        if (bar == std::string::npos)
            return parts;
        from = bar + 1;
    }
}

const char* const* GlyphXpm(const std::string& name) {
    if (name == "convert")
        return convert_xpm;
    if (name == "exit")
        return exit_xpm;
    if (name == "query")
        return query_xpm;
    if (name == "view")
        return view_xpm;
    return nullptr;
}

// The form's font, or the nearest that this system has.
std::wstring FontFamily() {
    HDC screen = GetDC(nullptr);
    bool found = false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcscpy(wanted.lfFaceName, L"MS Sans Serif");
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) -> int {
            // The raster MS Sans Serif has no Cyrillic at every size; only a scalable one will do.
            if (type & TRUETYPE_FONTTYPE)
                *reinterpret_cast<bool*>(found) = true;
            return 1;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found ? L"MS Sans Serif" : L"Tahoma";
}

// The progress gauge: a blue bar on white in a single-line border, its
// value printed over it as "%d%%"; PBM_SETPOS and PBM_GETPOS as a
// progress bar has them.
LRESULT CALLBACK GaugeProc(HWND gauge, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case PBM_SETPOS: {
        const LRESULT previous = GetWindowLongPtrW(gauge, GWLP_USERDATA);
        SetWindowLongPtrW(gauge, GWLP_USERDATA, std::clamp(static_cast<int>(w), 0, 100));
        InvalidateRect(gauge, nullptr, FALSE);
        return previous;
    }
    case PBM_GETPOS:
        return GetWindowLongPtrW(gauge, GWLP_USERDATA);
    case WM_SETFONT:
        SetPropW(gauge, L"font", reinterpret_cast<HANDLE>(w));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(gauge, &paint);
        RECT all;
        GetClientRect(gauge, &all);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const int value = static_cast<int>(GetWindowLongPtrW(gauge, GWLP_USERDATA));
        RECT bar = all;
        bar.right = all.left + (all.right - all.left) * value / 100;
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(dc, &bar, blue);
        DeleteObject(blue);
        FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        wchar_t text[8];
        wsprintfW(text, L"%d%%", value);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(128, 128, 128));
        HGDIOBJ old = SelectObject(dc, GetPropW(gauge, L"font"));
        DrawTextW(dc, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        EndPaint(gauge, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(gauge, message, w, l);
    }
}

}  // namespace

Win32Form::Win32Form(HINSTANCE instance)
    : form::TMAVIKForm(Seams{static_cast<FormControls&>(*this), static_cast<FormPlatform&>(*this), words_, runs_,
                             nullptr}),
      instance_(instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = LoadIconW(instance, L"MAVIK");
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = PageProc;
    windowClass.hIcon = nullptr;
    windowClass.lpszClassName = kPageClass;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = GaugeProc;
    windowClass.lpszClassName = kGaugeClass;
    RegisterClassW(&windowClass);

    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const std::wstring family = FontFamily();
    font_ = CreateFontW(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                        family.c_str());
    boldFont_ = CreateFontW(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            family.c_str());

    // Centred on the work area, the outer size scaled as the controls are.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = Scaled(kOuterWidth), height = Scaled(kOuterHeight);
    window_ = CreateWindowExW(0, kWindowClass, Wide(kWindowTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              work.left + (work.right - work.left - width) / 2,
                              work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                              instance, this);
    CreateControls();
    RunEvent(&form::TMAVIKForm::FormCreate);
}

Win32Form::~Win32Form() {
    StopRuns();
    if (IsWindow(window_))
        DestroyWindow(window_);
    DeleteObject(font_);
    DeleteObject(boldFont_);
}

void Win32Form::CreateControls() {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    std::vector<std::pair<int, HWND>> tabStops;
    HWND topmost = nullptr;
    for (int place = 0; place < static_cast<int>(std::size(kControlTable)); ++place) {
        const ControlEntry& entry = kControlTable[place];
        HWND parent = entry.OnPage ? page_ : window_;
        const int id = kControlIdBase + place;
        const std::wstring text = Wide(entry.Text);
        // Siblings clip each other, so that one laid over another (TabBox1 over
        // the separator edit) stays in front where the z-order puts it.
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (entry.Enabled ? 0 : WS_DISABLED);
        DWORD extended = 0;
        const wchar_t* windowClass = L"BUTTON";
        switch (entry.Kind) {
        case ControlKind::Button:
            style |= WS_TABSTOP | (entry.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::Tabs:
            windowClass = WC_TABCONTROLW;
            style |= WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
            break;
        case ControlKind::Sunken:
            windowClass = L"STATIC";
            style |= SS_SUNKEN | SS_NOTIFY | (entry.Centred ? SS_CENTER : SS_LEFT);
            break;
        case ControlKind::Edit:
            windowClass = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL | (entry.ReadOnly ? ES_READONLY : 0);
            extended = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Label:
            windowClass = L"STATIC";
            style |= SS_LEFT;
            break;
        case ControlKind::Check:
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case ControlKind::Radios:
            style |= BS_GROUPBOX;
            break;
        case ControlKind::Gauge:
            windowClass = kGaugeClass;
            break;
        }
        HWND control = CreateWindowExW(extended, windowClass, text.c_str(), style, Scaled(entry.Left),
                                       Scaled(entry.Top), Scaled(entry.Width), Scaled(entry.Height), parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(entry.Bold ? boldFont_ : font_), FALSE);
        controls_.push_back(control);
        if (const char* const* xpm = GlyphXpm(entry.Glyph))
            SendMessageW(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(IconFromXpm(xpm)));
        if (entry.Kind == ControlKind::Check && entry.Checked)
            SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        if (entry.Kind == ControlKind::Tabs) {
            TCITEMW tab{};
            tab.mask = TCIF_TEXT;
            std::wstring title = Wide(kPageTitle);
            tab.pszText = title.data();
            SendMessageW(control, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
            // The page fills the tab control below its tab; its controls
            // are laid out from its corner.
            RECT area;
            GetClientRect(control, &area);
            SendMessageW(control, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
            page_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                    area.left, area.top, area.right - area.left, area.bottom - area.top, control,
                                    nullptr, instance_, this);
        }
        if (entry.Kind == ControlKind::Edit) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = parent;
            tool.uId = reinterpret_cast<UINT_PTR>(control);
            tool.lpszText = const_cast<wchar_t*>(L"");
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        if (entry.Kind == ControlKind::Radios) {
            SetItems(static_cast<Control>(place), Split(entry.Items));
            ChooseItem(static_cast<Control>(place), entry.ItemIndex, false);
        }
        if (entry.TabOrder >= 0)
            tabStops.emplace_back(entry.TabOrder, control);
        if (entry.Kind == ControlKind::Check && entry.Name == std::string("TabBox1"))
            topmost = control;
    }
    // TabBox1 lies over the right part of the separator edit and is drawn in front of it.
    if (topmost)
        SetWindowPos(topmost, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    separator_ = WindowText(Handle(Control::OutInfoEdit1));
    std::sort(tabStops.begin(), tabStops.end());
    for (const auto& [order, control] : tabStops)
        tabOrder_.push_back(control);
}

Win32Form::Group* Win32Form::GroupOf(Control control) {
    return control == Control::TypeInpRadioGroup1 ? &inputGroup_
           : control == Control::TypeOutRadioGroup1 ? &outputGroup_
                                                     : nullptr;
}

const Win32Form::Group* Win32Form::GroupOf(Control control) const {
    return const_cast<Win32Form*>(this)->GroupOf(control);
}

void Win32Form::SetItems(Control control, const std::vector<std::string>& items) {
    Group& group = *GroupOf(control);
    // The item windows stay where they can, so that a click already on its
    // way to one still finds it.
    while (group.items.size() > items.size()) {
        DestroyWindow(group.items.back());
        group.items.pop_back();
    }
    const int place = static_cast<int>(control);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i < group.items.size()) {
            SetWindowTextW(group.items[i], Wide(items[i]).c_str());
            SendMessageW(group.items[i], BM_SETCHECK, BST_UNCHECKED, 0);
            continue;
        }
        HWND item = CreateWindowExW(0, L"BUTTON", Wide(items[i]).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_RADIOBUTTON |
                                        (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
                                    0, 0, 0, 0, page_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kItemIdBase + 8 * place + i)),
                                    instance_, nullptr);
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        group.items.push_back(item);
    }
    group.index = -1;
    PlaceItems(control);
}

void Win32Form::PlaceItems(Control control) {
    const Group& group = *GroupOf(control);
    const ControlEntry& entry = kControlTable[static_cast<int>(control)];
    if (group.items.empty())
        return;
    // One column below the caption, the rows shared out evenly.
    const int top = entry.Top + 16, row = std::min(20, (entry.Height - 20) / static_cast<int>(group.items.size()));
    for (std::size_t i = 0; i < group.items.size(); ++i) {
        SetWindowPos(group.items[i], HWND_TOP, Scaled(entry.Left + 8), Scaled(top + static_cast<int>(i) * row),
                     Scaled(entry.Width - 16), Scaled(row), SWP_NOACTIVATE);
    }
}

void Win32Form::ChooseItem(Control control, int index, bool raise) {
    Group& group = *GroupOf(control);
    if (index == group.index)
        return;
    group.index = index;
    for (std::size_t i = 0; i < group.items.size(); ++i)
        SendMessageW(group.items[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!raise)
        return;
    if (control == Control::TypeInpRadioGroup1)
        Event(&form::TMAVIKForm::TypeInpRadioGroup1Click);
    else
        Event(&form::TMAVIKForm::TypeOutRadioGroup1Click);
}

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->Handle(window, message, w, l) : DefWindowProcW(window, message, w, l);
}

// The page's controls report to the page; the window handles them.
LRESULT CALLBACK Win32Form::PageProc(HWND page, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_SETCURSOR:
        return SendMessageW(GetAncestor(page, GA_ROOT), message, w, l);
    default:
        return DefWindowProcW(page, message, w, l);
    }
}

LRESULT Win32Form::Handle(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case kCallMessage:
        (*reinterpret_cast<const std::function<void()>*>(l))();
        return 0;
    case kPostMessage: {
        const std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(l));
        (*work)();
        return 0;
    }
    case WM_COMMAND:
        Command(LOWORD(w), HIWORD(w));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(w) == Handle(Control::VersionStaticText)) {
            SetCursor(LoadCursorW(nullptr, IDC_HELP));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Closing during a run stops it at its next block boundary and
        // waits for it, without a notice.
        StopRuns();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, w, l);
}

void Win32Form::Command(int id, int code) {
    if (id >= kItemIdBase) {
        const int place = (id - kItemIdBase) / 8, item = (id - kItemIdBase) % 8;
        if (code == BN_CLICKED)
            ChooseItem(static_cast<Control>(place), item, true);
        return;
    }
    const auto control = static_cast<Control>(id - kControlIdBase);
    using Form = form::TMAVIKForm;
    if (code == EN_CHANGE) {
        if (control == Control::OutInfoEdit1)
            KeepWindows1251();
        else if (control == Control::InpFileNameEdit1)
            Event(&Form::InpFileNameEdit1Change);
        else if (control == Control::OutFileNameEdit1)
            Event(&Form::OutFileNameEdit1Change);
        return;
    }
    if (code != BN_CLICKED && code != STN_CLICKED)
        return;
    switch (control) {
    case Control::SelFile1: Event(&Form::SelFile1Click); break;
    case Control::TabBox1: Event(&Form::TabBox1Click); break;
    case Control::FormatBox1: Event(&Form::FormatBox1Click); break;
    case Control::ConvBitBtn1: Event(&Form::ConvBitBtn1Click); break;
    case Control::ViewInpBitBtn1: Event(&Form::ViewInpBitBtn1Click); break;
    case Control::ViewOutBitBtn1: Event(&Form::ViewOutBitBtn1Click); break;
    case Control::QueryBitBtn1: Event(&Form::QueryBitBtn1Click); break;
    case Control::VersionStaticText: Event(&Form::VersionStaticTextClick); break;
    case Control::ExitBtn: Event(&Form::ExitBtnClick); break;
    default: break;
    }
}

// The separator is written in windows-1251: a character it cannot hold is
// not taken, as the Qt window's validator does it.
void Win32Form::KeepWindows1251() {
    HWND edit = Handle(Control::OutInfoEdit1);
    const std::wstring text = WindowText(edit);
    const std::u16string units(text.begin(), text.end());
    if (EncodeUtf16(Charset::Windows1251, units)) {
        separator_ = text;
        return;
    }
    DWORD start = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    SetWindowTextW(edit, separator_.c_str());
    const DWORD caret = std::min<DWORD>(start > 0 ? start - 1 : 0, static_cast<DWORD>(separator_.size()));
    SendMessageW(edit, EM_SETSEL, caret, caret);
    MessageBeep(MB_OK);
}

void Win32Form::Press(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

bool Win32Form::TakeKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || !IsChild(window_, message.hwnd))
        return false;
    const bool shift = GetKeyState(VK_SHIFT) < 0, plain = !shift && GetKeyState(VK_CONTROL) >= 0 &&
                                                          GetKeyState(VK_MENU) >= 0;
    if (message.wParam == VK_TAB) {
        // The form's tab order, skipping what is hidden or disabled; a
        // radio group takes the focus on its chosen item.
        std::vector<HWND> stops;
        for (HWND stop : tabOrder_) {
            HWND target = stop;
            for (Control group : {Control::TypeInpRadioGroup1, Control::TypeOutRadioGroup1})
                if (stop == Handle(group)) {
                    const Group& g = *GroupOf(group);
                    target = g.index >= 0 ? g.items[g.index] : g.items.empty() ? nullptr : g.items[0];
                }
            if (target && IsWindowVisible(target) && IsWindowEnabled(target))
                stops.push_back(target);
        }
        if (stops.empty())
            return true;
        const auto at = std::find(stops.begin(), stops.end(), GetFocus());
        std::size_t next = 0;
        if (at != stops.end())
            next = (static_cast<std::size_t>(at - stops.begin()) + (shift ? stops.size() - 1 : 1)) % stops.size();
        SetFocus(stops[next]);
        return true;
    }
    if (message.wParam == VK_RETURN && plain) {
        // ConvBitBtn1 is the default button; a push button with the focus
        // takes Enter for itself.
        HWND focus = GetFocus();
        wchar_t name[16] = {};
        GetClassNameW(focus, name, 16);
        const LONG style = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
        if (lstrcmpiW(name, L"BUTTON") == 0 && (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON))
            Press(focus);
        else if (IsWindowEnabled(Handle(Control::ConvBitBtn1)))
            Press(Handle(Control::ConvBitBtn1));
        return true;
    }
    return false;
}

std::string Win32Form::Text(Control control) const { return Narrow(WindowText(Handle(control))); }

void Win32Form::SetText(Control control, const std::string& text) {
    HWND handle = Handle(control);
    const std::wstring wide = Wide(text);
    // Setting the same text raises nothing.
    if (WindowText(handle) == wide)
        return;
    SetWindowTextW(handle, wide.c_str());
    if (kControlTable[static_cast<int>(control)].Kind == ControlKind::Label) {
        // A label widens to its caption, never narrower than laid out.
        HDC dc = GetDC(handle);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(handle, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(handle, dc);
        RECT place;
        GetWindowRect(handle, &place);
        if (size.cx > place.right - place.left)
            SetWindowPos(handle, nullptr, 0, 0, size.cx, place.bottom - place.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The whole caption anew: a static repaints only what a resize uncovers.
        InvalidateRect(handle, nullptr, TRUE);
    }
}

bool Win32Form::Enabled(Control control) const { return IsWindowEnabled(Handle(control)); }
void Win32Form::SetEnabled(Control control, bool enabled) { EnableWindow(Handle(control), enabled); }

void Win32Form::SetVisible(Control control, bool visible) {
    ShowWindow(Handle(control), visible ? SW_SHOW : SW_HIDE);
    if (const Group* group = GroupOf(control))
        for (HWND item : group->items)
            ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

bool Win32Form::Checked(Control control) const {
    return SendMessageW(Handle(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Win32Form::ItemIndex(Control group) const { return GroupOf(group)->index; }
void Win32Form::SetItemIndex(Control group, int index) { ChooseItem(group, index, true); }

void Win32Form::SetHint(Control control, const std::string& hint) {
    std::wstring text = Wide(hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(Handle(control));
    tool.uId = reinterpret_cast<UINT_PTR>(Handle(control));
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Form::SetProgress(int progress) { SendMessageW(Handle(Control::Gauge1), PBM_SETPOS, progress, 0); }
void Win32Form::Redraw(Control control) { InvalidateRect(Handle(control), nullptr, TRUE); }
void Win32Form::CloseWindow() { PostMessageW(window_, WM_CLOSE, 0, 0); }

std::optional<std::string> Win32Form::ChooseInputFile(const std::string& initialFolder) {
    wchar_t folder[MAX_PATH * 4] = {};
    GetFullPathNameW(Wide(initialFolder).c_str(), static_cast<DWORD>(std::size(folder)), folder, nullptr);
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder;
    // One file; the current folder stays, since the code tables are found there.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING |
                   OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return Narrow(file);
}

FormPlatform::Answer Win32Form::ShowMessageBox(bool ownedByWindow, const std::string& text,
                                               const std::string& caption, Icon icon, Buttons buttons,
                                               const std::string& details) {
    UINT style = buttons == Buttons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    switch (icon) {
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    case Icon::Warning: style |= MB_ICONWARNING; break;
    case Icon::Question: style |= MB_ICONQUESTION; break;
    case Icon::Error: style |= MB_ICONERROR; break;
    }
    // A box of the application's own is still modal to the program.
    if (!ownedByWindow)
        style |= MB_TASKMODAL;
    // The box has no smaller text: the details follow after a blank line.
    const std::string shown = details.empty() ? text : text + "\n\n" + details;
    const int answer = MessageBoxW(ownedByWindow && IsWindow(window_) ? window_ : nullptr, Wide(shown).c_str(),
                                   Wide(caption).c_str(), style);
    return answer == IDYES ? Answer::Yes : answer == IDNO ? Answer::No : Answer::Ok;
}

void Win32Form::RunProgram(const std::string& program, const std::string& argument) {
    // The command line as users know it: the program, one blank, the
    // argument unquoted; found where Windows looks for a program without a folder.
    std::wstring line = Wide(argument.empty() ? program : program + " " + argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

bool Win32Form::ProgramFound(const std::string& program) const {
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, Wide(program).c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
}

std::string Win32Form::ExecutablePath() const {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return Narrow(path);
}

void Win32Form::Call(const std::function<void()>& work) {
    SendMessageW(window_, kCallMessage, 0, reinterpret_cast<LPARAM>(&work));
}

void Win32Form::Post(std::function<void()> work) {
    auto* posted = new std::function<void()>(std::move(work));
    if (!PostMessageW(window_, kPostMessage, 0, reinterpret_cast<LPARAM>(posted)))
        delete posted;
}

void Win32Form::ServeUntil(const std::function<bool()>& done) {
    // GetMessage takes the runs' sent hand-offs while it waits for a post;
    // the user's input stays queued.
    bool quit = false;
    while (!done() && IsWindow(window_)) {
        MSG message;
        const BOOL got = GetMessageW(&message, window_, kPostMessage, kPostMessage);
        if (got == 0)
            quit = true;
        else if (got > 0)
            DispatchMessageW(&message);
    }
    if (quit)
        PostQuitMessage(0);
}
