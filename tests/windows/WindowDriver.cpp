// Drives the real MAVIK.exe as a user would, through its controls by id,
// the real open-file dialog and message boxes, and compares what it writes
// with mavik-convert.exe's output for the same file.
//   WindowDriver MAVIK.exe mavik-convert.exe WORK [--bench NAME RUNS]
// WORK holds the code tables, input/звонки.cdr (EBCDIC), input/ascii.cdr,
// input/big.cdr (large enough to be stopped), and notable/ with the first table and input/ascii.cdr.

#include <windows.h>

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// With MAVIK_SHOTS set, the driver stops at a few moments for the window's
// picture to be taken (window_test.sh reads the line).
void Shot(const char* name) {
    if (!std::getenv("MAVIK_SHOTS"))
        return;
    std::printf("SHOT %s\n", name);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
}

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
    for (int i = 0; i < static_cast<int>(std::size(kControlTable)); ++i)
        if (std::string(kControlTable[i].Name) == name)
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

    void Key(HWND window, WPARAM key) const {
        PostMessageW(window, WM_KEYDOWN, key, 0);
        PostMessageW(window, WM_KEYUP, key, 0);
    }
    bool BoxOpen() const { return FindBox() != nullptr; }

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
    for (const ControlEntry& entry : kControlTable) {
        HWND control = app.Control(entry.Name);
        Check(control != nullptr, std::string("control ") + entry.Name + " by its id");
        if (!control)
            continue;
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
        std::ostringstream where;
        where << entry.Name << " at " << place.left << "," << place.top << " " << place.right - place.left << "x"
              << place.bottom - place.top;
        Check(place.left == entry.Left && place.top == entry.Top && place.right - place.left == entry.Width &&
                  place.bottom - place.top == entry.Height,
              where.str());
        if (entry.Kind != ControlKind::Radios && entry.Kind != ControlKind::Tabs)
            Check(Text(control) == entry.Text, std::string(entry.Name) + " reads \"" + Text(control) + "\"");
        Check(static_cast<bool>(IsWindowEnabled(control)) == entry.Enabled, std::string(entry.Name) + " enabled state");
        if (entry.Kind == ControlKind::Check)
            Check(app.Ticked(control) == entry.Checked, std::string(entry.Name) + " tick");
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
    // Enter in an edit presses the default button.
    app.Key(app.Control("OutFileNameEdit1"), VK_RETURN);
    if (options == "-i ebcdic") {
        app.Box();
        Shot("windows-window-done");
    }
    Check(app.Notice() == kNoErrors + "|Внимание !", "the notice of " + base + extension + " " + options);
    const std::string expected = work + "\\expected" + extension;
    const int code = Run("\"" + convert + "\" -q -T \"" + work + "\" " + options + " \"" + work + "\\input\\" + input + "\" \"" +
              expected + "\"");
    Check(code == 0, "mavik-convert " + options + " exits " + std::to_string(code));
    const std::string made = ReadFile(output);
    Check(!made.empty() && made == ReadFile(expected), "the output of " + options + " equals mavik-convert's");
    Check(SendMessageW(app.Control("Gauge1"), PBM_GETPOS, 0, 0) == 100, "the gauge at the end");
    Check(!app.Enabled("ConvBitBtn1") && app.Enabled("ViewOutBitBtn1") && app.Enabled("QueryBitBtn1") &&
              app.Text("ConvBitBtn1") == "Преобразовать",
          "the finished state");
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The window's run against mavik-convert.exe's on the same file, formatted
// text, the best of runs each: the share of mavik-convert's speed.
int Bench(const std::string& exe, const std::string& convert, const std::string& work, const std::string& name,
          int runs) {
    App app(exe, work);
    double window = 1e9, batch = 1e9;
    const std::string input = work + "\\input\\" + name;
    for (int run = 0; run < runs; ++run) {
        app.ChooseFile(name);
        window = std::min(window, Seconds([&] {
                              app.Click("ConvBitBtn1");
                              app.Box();
                          }));
        app.Notice();
        batch = std::min(batch, Seconds([&] {
                             Run("\"" + convert + "\" -q -T \"" + work + "\" \"" + input + "\" \"" + work +
                                 "\\bench.txt\"");
                         }));
    }
    const double share = batch / window;
    std::printf("window %.2f s, mavik-convert.exe %.2f s: %.2f of its speed, %s\n", window, batch, share,
                share >= 0.9 ? "PASS" : "FAIL");
    return share >= 0.9 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 4 && !(argc == 7 && std::string(argv[4]) == "--bench")) {
        std::printf("usage: WindowDriver MAVIK.exe mavik-convert.exe WORK [--bench NAME RUNS]\n");
        return 2;
    }
    const std::string exe = argv[1], convert = argv[2], work = argv[3];
    if (argc == 7)
        return Bench(exe, convert, work, argv[5], std::atoi(argv[6]));
    {
        App app(exe, work);
        Check(app.Main() != nullptr, "the window opens");
        if (!app.Main())
            return 1;
        Layout(app);
        Shot("windows-window");

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

        // The separator takes what windows-1251 holds, and nothing else.
        app.SetText("OutInfoEdit1", "€;");
        Check(app.Text("OutInfoEdit1") == "€;", "a windows-1251 separator is taken");
        app.SetText("OutInfoEdit1", "☺");
        Check(app.Text("OutInfoEdit1") == "€;", "a separator outside windows-1251 is not taken");
        app.SetText("OutInfoEdit1", "*");

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
        Shot("windows-window-running");
        app.Click("ConvBitBtn1");
        HWND question = app.Box();
        Check(question && App::BoxText(question) == "Прекратить преобразование ?" && Text(question) == "Вопрос",
              "the stop question");
        app.Answer(question, IDNO);
        Check(!WaitFor([&] { return app.BoxOpen(); }, 500) && app.Text("ConvBitBtn1") == "Остановить", "No goes on");
        app.Click("ConvBitBtn1");
        question = app.Box();
        app.Answer(question, IDYES);
        const std::string stopped = app.Notice();
        Check(stopped == kFailed + "\n\nПреобразование прервано пользователем.|Внимание !", "the stopped notice: " + stopped);
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
