// Drives the real MAVIK.exe as a user would, through its controls by id,
// the real open-file dialog and message boxes, and compares what it writes
// with mavik-convert.exe's output for the same file.
//   WindowDriver MAVIK.exe mavik-convert.exe WORK
// WORK holds the code tables, input/звонки.cdr (EBCDIC), input/ascii.cdr,
// input/big.cdr (large enough to be stopped), and notable/ with the first table and input/ascii.cdr.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MainControls.h"

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.pop_back();
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    std::string text(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.pop_back();
    return text;
}

bool WaitFor(const std::function<bool()>& done, int milliseconds = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string Text(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &got);
    return Narrow(text);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(std::filesystem::path(Wide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int Place(const char* name) {
    for (int i = 0; i < static_cast<int>(std::size(kControlSpecs)); ++i)
        if (std::string(kControlSpecs[i].Name) == name)
            return i;
    std::printf("FAIL: no control %s in the table\n", name);
    std::exit(1);
}

// One run of the window in a working folder.
class App {
public:
    App(const std::string& exe, const std::string& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + Wide(exe) + L"\"";
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(),
                            &startup, &process_)) {
            std::printf("FAIL: cannot start %s\n", exe.c_str());
            std::exit(1);
        }
        // Ready once shown, or once a box of its creation is open.
        WaitFor([this] { return (main_ = FindMain()) != nullptr && (IsWindowVisible(main_) || FindBox()); });
    }
    ~App() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    HWND Main() const { return main_; }
    bool Ended(int milliseconds) const { return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0; }

    HWND Control(const char* name) const { return ById(kControlIdBase + Place(name)); }
    HWND Item(const char* group, int item) const { return ById(kItemIdBase + 8 * Place(group) + item); }
    std::string Text(const char* name) const { return ::Text(Control(name)); }
    bool Enabled(const char* name) const { return IsWindowEnabled(Control(name)); }
    bool Visible(const char* name) const { return IsWindowVisible(Control(name)); }
    bool Ticked(HWND button) const { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(HWND button) const { PostMessageW(button, BM_CLICK, 0, 0); }
    void Click(const char* name) const { Click(Control(name)); }
    void SetText(const char* name, const std::string& text) const {
        SendMessageW(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }

    // The dialog or message box the window has open, waited for.
    HWND Box() const {
        HWND found = nullptr;
        WaitFor([&] { return (found = FindBox()) != nullptr; });
        return found;
    }
    static std::string BoxText(HWND box) { return ::Text(GetDlgItem(box, 0xFFFF)); }
    void Answer(HWND box, int button) const {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        WaitFor([&] { return !IsWindow(box); });
    }
    // The notice's or error's text, answered with OK.
    std::string Notice() const {
        HWND box = Box();
        const std::string text = box ? BoxText(box) + "|" + ::Text(box) : "(no box)";
        if (box)
            Answer(box, IDOK);
        return text;
    }

    // The user picks name (relative to the folder the dialog opens in).
    void ChooseFile(const std::string& name) const {
        Click("SelFile1");
        HWND dialog = Box();
        if (!dialog) {
            Check(false, "the open-file dialog opened");
            return;
        }
        HWND field = GetDlgItem(dialog, 0x47C);  // the file name box
        if (!field)
            field = GetDlgItem(dialog, 0x480);
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        Check(WaitFor([&] { return !IsWindow(dialog); }), "the dialog took " + name);
    }

private:
    HWND FindMain() const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"TMAVIKForm", nullptr))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId)
                return window;
        }
        return nullptr;
    }
    HWND FindBox() const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId && IsWindowVisible(window))
                return window;
        }
        return nullptr;
    }
    HWND ById(int id) const {
        struct Search {
            int id;
            HWND found;
        } search{id, nullptr};
        EnumChildWindows(
            main_,
            [](HWND child, LPARAM l) -> BOOL {
                auto* s = reinterpret_cast<Search*>(l);
                if (GetDlgCtrlID(child) != s->id)
                    return TRUE;
                s->found = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

int Run(const std::string& command) {
    STARTUPINFOW startup{};
        startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = Wide(command);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -static_cast<int>(GetLastError());
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

const std::string kDone = "Завершение преобразования !\r";
const std::string kNoErrors = kDone + "Ошибок при преобразовании не обнаружено !";
const std::string kFailed = kDone + "Возникла ошибка или отказ от преобразования !";

void Layout(const App& app) {
    for (const ControlSpec& spec : kControlSpecs) {
        HWND control = app.Control(spec.Name);
        Check(control != nullptr, std::string("control ") + spec.Name + " by its id");
        if (!control)
            continue;
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
        std::ostringstream where;
        where << spec.Name << " at " << place.left << "," << place.top << " " << place.right - place.left << "x"
              << place.bottom - place.top;
        Check(place.left == spec.Left && place.top == spec.Top && place.right - place.left == spec.Width &&
                  place.bottom - place.top == spec.Height,
              where.str());
        if (spec.Kind != ControlKind::Radios && spec.Kind != ControlKind::Tabs)
            Check(Text(control) == spec.Text, std::string(spec.Name) + " reads \"" + Text(control) + "\"");
        Check(static_cast<bool>(IsWindowEnabled(control)) == spec.Enabled, std::string(spec.Name) + " enabled state");
        if (spec.Kind == ControlKind::Check)
            Check(app.Ticked(control) == spec.Checked, std::string(spec.Name) + " tick");
    }
    Check(Text(app.Main()) == kWindowTitle, "the caption");
    Check(app.Ticked(app.Item("TypeInpRadioGroup1", 0)) && app.Ticked(app.Item("TypeOutRadioGroup1", 0)),
          "item 0 chosen in both groups");
    Check(Text(app.Item("TypeOutRadioGroup1", 1)) == "Бинарный ASCII", "the second output item before a choice");
    Check(app.Text("FileSizeLabel1").empty() && app.Text("InfoInpFileLabel1").empty(), "the statistics are empty");
}

// Chooses the input and the types of a mode; the output name follows.
void Mode(const App& app, const std::string& input, int inputType, int outputType) {
    app.ChooseFile(input);
    app.Click(app.Item("TypeInpRadioGroup1", inputType));
    WaitFor([&] { return app.Ticked(app.Item("TypeInpRadioGroup1", inputType)); });
    app.Click(app.Item("TypeOutRadioGroup1", outputType));
    WaitFor([&] { return app.Ticked(app.Item("TypeOutRadioGroup1", outputType)); });
}

// A run in one mode, its output against mavik-convert.exe's.
void Conversion(const App& app, const std::string& convert, const std::string& work, const std::string& input,
                int inputType, int outputType, bool formatted, const std::string& extension,
                const std::string& options) {
    Mode(app, input, inputType, outputType);
    const std::string base = input.substr(0, input.find('.'));
    const std::string output = work + "\\input\\" + base + extension;
    Check(app.Text("OutFileNameEdit1") == output, "output name " + app.Text("OutFileNameEdit1") + " for " + output);
    if (outputType == 0 && app.Ticked(app.Control("FormatBox1")) != formatted) {
        app.Click("FormatBox1");
        WaitFor([&] { return app.Ticked(app.Control("FormatBox1")) == formatted; });
    }
    DeleteFileW(Wide(output).c_str());
    app.Click("ConvBitBtn1");
    Check(app.Notice() == kNoErrors + "|Внимание !", "the notice of " + base + extension + " " + options);
    const std::string expected = work + "\\expected" + extension;
    const int code = Run("\"" + convert + "\" -q -T \"" + work + "\" " + options + " \"" + work + "\\input\\" + input + "\" \"" +
              expected + "\"");
    Check(code == 0, "mavik-convert " + options + " exits " + std::to_string(code));
    const std::string made = ReadFile(output);
    Check(!made.empty() && made == ReadFile(expected), "the output of " + options + " equals mavik-convert's");
    Check(!app.Enabled("ConvBitBtn1") && app.Enabled("ViewOutBitBtn1") && app.Enabled("QueryBitBtn1") &&
              app.Text("ConvBitBtn1") == "Преобразовать",
          "the finished state");
}

}  // namespace

int main(int argc, char* argv[]) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 4) {
        std::printf("usage: WindowDriver MAVIK.exe mavik-convert.exe WORK\n");
        return 2;
    }
    const std::string exe = argv[1], convert = argv[2], work = argv[3];
    {
        App app(exe, work);
        Check(app.Main() != nullptr, "the window opens");
        if (!app.Main())
            return 1;
        Layout(app);

        // The statistics of a file chosen through the real dialog, which opens in "input".
        app.ChooseFile("звонки.cdr");
        const std::string size = std::to_string(ReadFile(work + "\\input\\звонки.cdr").size());
        const long long blocks = std::stoll(size) / 2048;
        Check(app.Text("InpFileNameEdit1") == work + "\\input\\звонки.cdr", "the input is " + app.Text("InpFileNameEdit1"));
        Check(app.Text("FileSizeLabel1") == "Размер: " + size + " байт", app.Text("FileSizeLabel1"));
        Check(app.Text("InfoInpFileLabel1") ==
                  "Записей: " + std::to_string(blocks * 34) + " Блоков: " + std::to_string(blocks),
              app.Text("InfoInpFileLabel1"));
        Check(app.Enabled("ConvBitBtn1") && app.Enabled("ViewInpBitBtn1") && !app.Enabled("QueryBitBtn1"),
              "the file-chosen state");

        // Input types that are not there: a notice, and back to the first.
        app.Click(app.Item("TypeInpRadioGroup1", 2));
        HWND notice = app.Box();
        Check(notice && App::BoxText(notice) == "В данной версии не реализовано !" && Text(notice) == "Внимание !",
              "the Italtel notice");
        app.Answer(notice, IDOK);
        Check(WaitFor([&] { return app.Ticked(app.Item("TypeInpRadioGroup1", 0)); }), "back to Alcatel S12 EBCDIC");
        Check(Text(app.Item("TypeOutRadioGroup1", 1)) == "Бинарный  ASCII", "the items of EBCDIC input");

        Conversion(app, convert, work, "звонки.cdr", 0, 0, true, ".txt", "-i ebcdic");
        Conversion(app, convert, work, "звонки.cdr", 0, 0, false, ".txt", "-i ebcdic -r");
        Conversion(app, convert, work, "звонки.cdr", 0, 1, true, ".asc", "-i ebcdic -o binary");
        Check(!app.Visible("FormatBox1") && !app.Visible("OutInfoEdit1") && !app.Visible("TabBox1"),
              "binary output hides the text options");
        Conversion(app, convert, work, "ascii.cdr", 1, 0, true, ".txt", "-i ascii");
        Check(Text(app.Item("TypeOutRadioGroup1", 1)) == "Бинарный EDCDIC", "the items of ASCII input");
        Conversion(app, convert, work, "ascii.cdr", 1, 1, true, ".ebs", "-i ascii -o binary");

        // A run into a folder that does not exist.
        Mode(app, "звонки.cdr", 0, 0);
        app.SetText("OutFileNameEdit1", work + "\\nofolder\\out.txt");
        app.Click("ConvBitBtn1");
        const std::string failure = app.Notice();
        Check(failure.rfind(kFailed + "\n\n", 0) == 0 && failure.find("(папки " + work + "\\nofolder не существует)") !=
                                                             std::string::npos,
              "the failed run's notice: " + failure);

        // Stop: No goes on, Yes stops with the refusal.
        Mode(app, "big.cdr", 0, 0);
        app.Click("ConvBitBtn1");
        Check(WaitFor([&] { return app.Text("ConvBitBtn1") == "Остановить"; }), "the run started");
        app.Click("ConvBitBtn1");
        HWND question = app.Box();
        Check(question && App::BoxText(question) == "Прекратить преобразование ?" && Text(question) == "Вопрос",
              "the stop question");
        app.Answer(question, IDNO);
        Check(app.Text("ConvBitBtn1") == "Остановить", "No goes on");
        app.Click("ConvBitBtn1");
        question = app.Box();
        app.Answer(question, IDYES);
        Check(app.Notice() == kFailed + "\n\nПреобразование прервано пользователем.|Внимание !", "the stopped notice");
        Check(WaitFor([&] { return app.Text("ConvBitBtn1") == "Преобразовать" && !app.Enabled("ConvBitBtn1"); }),
              "stopped: the finished state");

        app.Click("ExitBtn");
        Check(app.Ended(10000), "Выход closes the window");
    }
    {
        // A working folder without the second table: said at start, and again at a start that needs it.
        App app(exe, work + "\\notable");
        const std::string atStart = app.Notice();
        Check(atStart.rfind("Cannot open file ascii-ebcdic", 0) == 0 && atStart.find("|MAVIK v.1.0.1") != std::string::npos,
              "the missing table at start: " + atStart);
        app.ChooseFile("ascii.cdr");
        app.Click(app.Item("TypeInpRadioGroup1", 1));
        app.Click(app.Item("TypeOutRadioGroup1", 1));
        WaitFor([&] { return app.Ticked(app.Item("TypeOutRadioGroup1", 1)); });
        app.Click("ConvBitBtn1");
        const std::string atRun = app.Notice();
        Check(atRun.rfind("Cannot open file ascii-ebcdic", 0) == 0, "the missing table at the start of a run: " + atRun);
        Check(GetFileAttributesW(Wide(work + "\\notable\\input\\ascii.ebs").c_str()) == INVALID_FILE_ATTRIBUTES,
              "no run without its table, and no file");
    }
    std::printf("window: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
