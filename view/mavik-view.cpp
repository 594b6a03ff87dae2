// mavik-view: one of MAVIK's viewers on its own, for terminals and file managers.
//   mavik-view [--bytes|--text|--records] [-i ebcdic|ascii] [-T DIR] FILE

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ByteViewerWindow.h"
#include "CodeTable.h"
#include "FileSource.h"
#include "IOError.h"
#include "QtTranslations.h"
#include "RecordBrowser.h"
#include "RecordFile.h"
#include "RecordTableModel.h"
#include "TableCharset.h"
#include "TextEncoding.h"
#include "TextViewerWindow.h"

namespace {

struct Options {
    bool bytes = false;
    bool text = false;
    bool records = false;
    std::string input = "ebcdic";
    std::string tables;
    std::string charset;  // --charset; empty: the tables' own
    std::string file;
};

// Exit codes: 0 done, 1 the file cannot be opened or no display, 2 a usage error.
constexpr int kUnopenable = 1;
constexpr int kUsage = 2;

bool ReadsAsTextFile(const FileSource& source) {
    std::vector<std::uint8_t> start(kTextSniffBytes);
    start.resize(source.Read(0, start.data(), start.size()));
    return ReadsAsText(start.data(), start.size());
}

// The ebcdic-ascii table from folder, when there is one: without it EBCDIC
// shows as hex only in the byte viewer and as its own bytes in the browser,
// which each say so.
CodeTables EbcdicTableIfAny(const std::string& folder) {
    CodeTables tables;
    try {
        LoadCodeTable(tables, CodeTableKind::EbcdicToAscii, folder);
    } catch (const std::exception&) {
    }
    return tables;
}

// The tables' character set, from --charset or the tables in options.tables;
// nothing, with the reason on stderr, when their file "charset" is wrong.
// A set taken by default is said once a window can be shown.
std::optional<TablesCharset> ChosenCharset(const Options& options) {
    if (!options.charset.empty())
        return TablesCharset{EightBitCharsetNamed(options.charset), CharsetSource::Option};
    try {
        return CharsetOfTables(options.tables);
    } catch (const CharsetFileError& e) {
        std::fprintf(stderr, "mavik-view: %s\n", e.what());
        return std::nullopt;
    }
}

void SayDefaultCharset(const Options& options, const TablesCharset& chosen) {
    if (chosen.Source == CharsetSource::Default)
        std::fprintf(stderr,
                     "mavik-view: warning: the code tables in %s do not say their character set; their text is "
                     "shown as windows-1251 (give --charset, or a file \"%s\" beside them naming it)\n",
                     options.tables.empty() ? "the current folder" : options.tables.c_str(), kCharsetFile);
}

// Where no display can be opened, Qt ends the program with an abort and a
// core dump. A session without one is told so before Qt is asked: no
// platform chosen and neither an X nor a Wayland display named.
bool NoDisplayNamed() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY");
}

// A display named but not to be opened: Qt's fatal message becomes our one
// line and status 1. Qt's other words on the way there are held back.
QtMessageHandler qtHandler = nullptr;
void OnQtMessageWhileStarting(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg)
        return;
    const auto shown = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value ? std::string(name) + "=" + value : std::string(name) + " unset";
    };
    std::fprintf(stderr, "mavik-view: cannot open a display (%s, %s, %s)\n", shown("DISPLAY").c_str(),
                 shown("WAYLAND_DISPLAY").c_str(), shown("QT_QPA_PLATFORM").c_str());
    std::_Exit(kUnopenable);
}

// The application, or nothing when there is no display to show a window on
// (the reason already on stderr).
std::unique_ptr<QApplication> StartApplication(int& argc, char* argv[]) {
    std::unique_ptr<QApplication> application;
    if (NoDisplayNamed()) {
        std::fprintf(stderr, "mavik-view: no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
        return application;
    }
    qtHandler = qInstallMessageHandler(OnQtMessageWhileStarting);
    application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qtHandler);
    QApplication::setApplicationName(QStringLiteral("mavik-view"));
    InstallRussian(*application);
    return application;
}

int Unopenable(const Options& options, const IOError& error) {
    std::fprintf(stderr, "mavik-view: %s: %s\n", options.file.c_str(), error.what());
    return kUnopenable;
}

// The record browser on the file, which it recognises itself; inputCode,
// when given, says a block file's code instead of its digits.
int ShowRecords(int& argc, char* argv[], const Options& options, bool inputCode) {
    const CodeTables tables = EbcdicTableIfAny(options.tables);
    std::optional<BlockCode> code;
    if (inputCode)
        code = options.input == "ascii" ? BlockCode::Ascii : BlockCode::Ebcdic;

    // A file that cannot be opened is told before a missing display.
    try {
        FileSource probe(options.file);
    } catch (const IOError& error) {
        return Unopenable(options, error);
    }
    const auto chosen = ChosenCharset(options);
    if (!chosen)
        return kUnopenable;
    const std::unique_ptr<QApplication> application = StartApplication(argc, argv);
    if (!application)
        return kUnopenable;
    SayDefaultCharset(options, *chosen);
    RecordBrowser* browser = nullptr;
    try {
        browser = RecordBrowser::Open(QFile::decodeName(options.file.c_str()), std::nullopt, code,
                                      tables.EbcdicToAscii ? &*tables.EbcdicToAscii : nullptr, options.tables,
                                      nullptr, chosen->Set);
    } catch (const IOError& error) {
        return Unopenable(options, error);
    } catch (const std::exception& error) {
        // Names the file and the first line or offset that fits no layout.
        std::fprintf(stderr, "mavik-view: %s\n", error.what());
        return kUnopenable;
    }
    const RecordLayout& layout = browser->Model()->File().Layout();
    if (!layout.IsText() && layout.Code == BlockCode::Ebcdic && !tables.EbcdicToAscii)
        std::fprintf(stderr,
                     "mavik-view: warning: no ebcdic-ascii in %s; EBCDIC records are shown and "
                     "compared as their own bytes\n",
                     options.tables.empty() ? "the current folder" : options.tables.c_str());
    browser->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    CLI::App app{"Shows a file in MAVIK's byte viewer, text viewer or record browser.", "mavik-view"};
    auto* bytes = app.add_flag("--bytes", options.bytes, "The byte viewer, whatever the file holds");
    auto* text = app.add_flag("--text", options.text, "The text viewer, whatever the file holds");
    auto* records = app.add_flag("--records", options.records,
                                 "The record browser: call records or a MAVIK text output as a table "
                                 "of records to select from");
    bytes->excludes(text);
    records->excludes(bytes)->excludes(text);
    auto* input = app.add_option("-i,--input", options.input,
                                 "How the byte viewer decodes: ebcdic (default) or ascii; with --records, "
                                 "the code of a block file, told by its digits when not given")
                      ->check(CLI::IsMember({"ebcdic", "ascii"}));
    app.add_option("-T,--tables", options.tables, "Folder of the code tables (default: the current folder)")
        ->check(CLI::ExistingDirectory);
    app.add_option("--charset", options.charset,
                   "The tables' character set when they do not say it: windows-1251 or ISO-8859-1")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                try {
                    EightBitCharsetNamed(value);
                    return {};
                } catch (const std::invalid_argument& e) {
                    return e.what();
                }
            },
            "NAME"));
    app.add_option("FILE", options.file, "The file to show")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return kUsage;
    }

    if (options.records)
        return ShowRecords(argc, argv, options, input->count() > 0);

    std::optional<FileSource> probe;
    try {
        probe.emplace(options.file);
    } catch (const IOError& error) {
        return Unopenable(options, error);
    }
    const bool asText = options.text || (!options.bytes && ReadsAsTextFile(*probe));
    probe.reset();

    const bool ebcdic = options.input == "ebcdic";
    const CodeTables tables = ebcdic && !asText ? EbcdicTableIfAny(options.tables) : CodeTables{};

    const auto chosen = ChosenCharset(options);
    if (!chosen)
        return kUnopenable;
    const std::unique_ptr<QApplication> application = StartApplication(argc, argv);
    if (!application)
        return kUnopenable;
    SayDefaultCharset(options, *chosen);
    const QString path = QFile::decodeName(options.file.c_str());
    QMainWindow* viewer = nullptr;
    try {
        if (asText)
            viewer = TextViewerWindow::Open(path, nullptr, chosen->Set);
        else
            viewer = ByteViewerWindow::Open(path, {ebcdic ? ByteDecoding::Input::Ebcdic : ByteDecoding::Input::Ascii,
                                                   tables.EbcdicToAscii ? &*tables.EbcdicToAscii : nullptr,
                                                   chosen->Set});
    } catch (const IOError& error) {
        return Unopenable(options, error);
    }
    viewer->show();
    return QApplication::exec();
}
