// mavik-convert: the batch converter, on the same engine as the window.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BatchProgress.h"
#include "BlockReader.h"
#include "CodeTable.h"
#include "CommandLine.h"
#include "CsvWriter.h"
#include "ConversionMode.h"
#include "ConversionRun.h"
#include "EndingSignals.h"
#include "FileAccess.h"
#include "IOError.h"
#include "InputCheck.h"
#include "InputFileStatistics.h"
#include "InstalledLayout.h"
#include "RunReport.h"
#include "Version.h"
#include "TableCharset.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
const char* const kStandardInputName = "standard input";
const char* const kStandardOutputName = "standard output";

void Say(const std::string& line) { std::fprintf(stderr, "mavik-convert: %s\n", line.c_str()); }

std::string Subject(const std::string& file, const std::string& text) {
    return file.empty() ? text : file + ": " + text;
}

// The progress of the running batch, for the signal thread's last words.
// The signal thread uses it under the lock that Main holds to end it, so
// the progress cannot go away between the look and the use.
class RunningProgress {
public:
    explicit RunningProgress(BatchProgress& progress) {
        std::lock_guard lock(mutex_);
        current_ = &progress;
    }
    ~RunningProgress() {
        std::lock_guard lock(mutex_);
        current_ = nullptr;
    }
    RunningProgress(const RunningProgress&) = delete;
    RunningProgress& operator=(const RunningProgress&) = delete;

    static void Abandon() {
        std::lock_guard lock(mutex_);
        if (current_)
            current_->Abandon();
    }

private:
    static inline std::mutex mutex_;
    static inline BatchProgress* current_ = nullptr;
};

class BatchSettings : public RunSettings {
public:
    BatchSettings(int mode, std::int64_t blockCount, bool formatted, BatchProgress& progress,
                  const std::vector<std::string>& fieldNames, Charset set)
        : mode_(mode), blockCount_(blockCount), formatted_(formatted), progress_(progress), fieldNames_(fieldNames),
          set_(set) {}
    std::vector<std::string> FieldNames() const override { return fieldNames_; }
    Charset TextCharset() const override { return set_; }
    int ConversionMode() const override { return mode_; }
    std::int64_t BlockCount() const override { return blockCount_; }
    // Asked once after every block: the batch's progress counts blocks here.
    bool Converting() override {
        progress_.BlockDone();
        return true;
    }
    bool FormatBox1() const override { return formatted_; }
    void UpdateGauge(int) override {}

private:
    int mode_;
    std::int64_t blockCount_;
    bool formatted_;
    BatchProgress& progress_;
    const std::vector<std::string>& fieldNames_;
    Charset set_;
};

// The default tables of the installation this program belongs to, when
// there is one. (Only the Linux layout has one: bin/ and share/mavik/
// under one prefix.)
std::string InstalledTablesFolder() {
#ifdef _WIN32
    return {};  // no installed layout there
#else
    char exe[4096];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return {};
    const std::string path(exe, static_cast<std::size_t>(length));
    const std::string tables = InstalledDataDir(path.substr(0, path.rfind('/') + 1)) + "codetables";
    fileaccess::FileInfo info;
    if (!fileaccess::StatPath(tables, info) || !info.Directory)
        return {};
    return tables;
#endif
}

// Names the installed default tables, so that a user knows what to give --tables.
std::string InstalledTablesHint() {
    const std::string tables = InstalledTablesFolder();
    return tables.empty() ? std::string() : "; the default tables are in " + tables;
}

// Where the tables and field-names are: -T DIR; else the current folder
// when it holds a table or field-names; else the installed defaults, said
// in one line; else the current folder all the same, whose missing table
// the error then names.
std::string TablesFolder(const CommandLine& cl) {
    if (!cl.TablesFolder.empty())
        return cl.TablesFolder;
    fileaccess::FileInfo info;
    for (const char* name : {CodeTableFile(CodeTableKind::EbcdicToAscii), CodeTableFile(CodeTableKind::AsciiToEbcdic),
                             kFieldNamesFile})
        if (fileaccess::StatPath(name, info))
            return {};
    const std::string installed = InstalledTablesFolder();
    if (!installed.empty() && RecodeTableFor(cl.ConversionMode()))
        Say("no code tables in the current folder; using the installed ones in " + installed);
    return installed;
}

// Loads the one table the mode recodes through, once for all the files: the
// runs only read it. A batch run must not silently write zeros, so a table
// that cannot be loaded is a failure.
bool LoadTableFor(int mode, const std::string& folder, CodeTables& tables) {
    const auto kind = RecodeTableFor(mode);
    if (!kind)
        return true;
    const std::string path = fileaccess::Utf8(fileaccess::PathOf(folder) / CodeTableFile(*kind));
    try {
        const std::size_t got = LoadCodeTable(tables, *kind, fileaccess::PathOf(folder));
        if (got < 256)
            Say("warning: " + path + " holds " + std::to_string(got) + " of 256 bytes; byte values " +
                std::to_string(got) + "-255 become 0x00");
        return true;
    } catch (const CannotOpenFile& e) {
        Say(std::string(e.what()) + ": " + Subject(e.Cause().FileName(), e.Cause().Words()) + " (see --tables" +
            InstalledTablesHint() + ")");
        return false;
    } catch (const std::exception& e) {
        Say(std::string(e.what()) + " (looked for " + path + "; see --tables" + InstalledTablesHint() + ")");
        return false;
    }
}

// Standard output is binary (it may carry a conversion's bytes), so the
// statistics end their lines as a console program of the system does.
#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// --stats with --blocks counts the range, so that the figures of the
// pieces of a file add up to the whole's; false when the file lacks it.
bool CountRange(const BlockRange& range, InputFileStatistics& stats) {
    if (range.First - 1 + range.Count > stats.BlockCount)
        return false;
    stats = StatisticsOfSize(range.Count * static_cast<std::int64_t>(kBlockSize));
    return true;
}

int PrintStatistics(const CommandLine& cl) {
    int status = 0;
    for (const std::string& input : cl.Inputs) {
        const bool stream = input == kStandardStream;
        InputFileStatistics stats;
        try {
            if (stream) {
                BlockReader reader(0, kStandardInputName);  // standard input
                CallRecordBlock block;
                while (reader.ReadBlock(block)) {
                }
                stats = StatisticsOfSize(reader.Size());
            } else {
                stats = MeasureInputFile(input);
            }
        } catch (const IOError& e) {
            Say(Subject(e.FileName(), e.Words()));
            status = kExitFailure;
            continue;
        }
        if (cl.Blocks && !CountRange(*cl.Blocks, stats)) {
            Say(Subject(stream ? kStandardInputName : input, RangePastTheEnd(*cl.Blocks, stats.BlockCount)));
            status = kExitFailure;
            continue;
        }
        if (cl.Inputs.size() > 1)
            std::printf("%s: ", stream ? kStandardInputName : input.c_str());
        std::printf("size=%" PRId64 " blocks=%" PRId64 " records=%" PRId64 "%s", stats.SizeBytes,
                    stats.BlockCount, stats.RecordCount, kLineEnd);
    }
    return status;
}

void WarnAboutOptions(const CommandLine& cl) {
    if (!cl.BinaryOutput && !cl.CsvOutput)
        return;
    std::string unused;
    for (const auto& [given, name] : {std::pair{cl.Raw, "-r"}, {cl.SeparatorGiven, "-s"}, {cl.Tab, "-t"}})
        if (given)
            unused += (unused.empty() ? "" : ", ") + std::string(name);
    if (!unused.empty())
        Say("warning: " + unused + (unused.size() > 2 ? " do" : " does") + " not apply to " +
            (cl.CsvOutput ? "CSV" : "binary") + " output; ignored");
}

// Looks at an input's first blocks before it is converted: what is not
// call records of the chosen code is said, and with --strict not
// converted. True when the file may go on.
bool CheckInputFile(const CommandLine& cl, const std::string& input) {
    const BlockCode chosen = cl.AsciiInput ? BlockCode::Ascii : BlockCode::Ebcdic;
    const std::string doubt = InputDoubtText(CheckInput(input, chosen), chosen);
    if (doubt.empty())
        return true;
    if (cl.Strict) {
        Say(input + ": " + doubt + "; not converted (--strict)");
        return false;
    }
    Say("warning: " + input + ": " + doubt + "; converting as asked");
    return true;
}

struct Batch {
    const CommandLine& cl;
    const CodeTables& tables;
    std::string separator;
    BatchProgress& progress;
    bool several;  // -d: a summary instead of a line per file
    const RecordPredicate* where;  // -w, tested on the recoded records
    const std::vector<std::string>& fieldNames;  // the CSV header's, or none
};

// Converts one file; true when it succeeded.
bool Convert(const Batch& batch, const FileJob& job, std::int64_t blockCount) {
    const bool fromStream = job.Input == kStandardStream;
    const bool toStream = job.Output == kStandardStream;
    RunFiles files{fromStream ? kStandardInputName : job.Input,
                   toStream ? kStandardOutputName : job.Output, fromStream, toStream,
                   OutputMode::ReplaceOnSuccess, batch.cl.Blocks, batch.cl.PieceHeader};
    const int mode = batch.cl.ConversionMode();
    BatchSettings settings(mode, blockCount, !batch.cl.Raw, batch.progress, batch.fieldNames, batch.cl.TextCharset);
    const ConversionResult result = RunConversion(files, batch.separator, batch.tables, settings, batch.where);
    batch.progress.FileDone();
    if (result.Failed) {
        // A reader that went away (| head) ends the batch the quiet way a
        // pipeline expects: through SIGPIPE, without a message.
        if (result.FileError && result.FileError->Errno() == EPIPE) {
            batch.progress.Abandon();
            EndForBrokenPipe();
        }
        batch.progress.Say(Subject(result.ErrorFile, FailureWords(result, fromStream ? "" : job.Input,
                                                                  toStream ? "" : job.Output)));
        return false;
    }
    if (const std::string tail = LeftOutTail(result); !tail.empty())
        batch.progress.Say("warning: " + files.Input + ": " + tail);
    if (batch.where && !batch.cl.Quiet)
        batch.progress.Say((batch.several ? files.Input + ": " : std::string()) +
                           std::to_string(result.RecordsSelected) + " of " +
                           std::to_string(result.BlocksDone * static_cast<std::int64_t>(kRecordsPerBlock)) +
                           " records selected");
    if (result.Undecodable)
        batch.progress.Say("warning: " + files.Input + ": " + std::to_string(result.Undecodable) +
                           (result.Undecodable == 1 ? " byte" : " bytes") +
                           " that " + CharsetName(batch.cl.TextCharset) + " leaves undefined written as U+FFFD");
    if (!batch.cl.Quiet && !batch.several) {
        const std::int64_t records = result.BlocksDone * static_cast<std::int64_t>(kRecordsPerBlock);
        std::string summary = std::to_string(result.BlocksDone) + " blocks (" + std::to_string(records) + " records";
        // A formatted output leaves type-F records out: say how many, beside the lines.
        if (OutputTypeFor(mode) == OutputType::Text && !batch.cl.Raw)
            summary += " read, " + std::to_string(result.LinesWritten) + " lines written, " +
                       std::to_string(result.TypeFLeftOut) + " type-F left out";
        else if (OutputTypeFor(mode) == OutputType::Csv)
            summary += ", " + std::to_string(result.LinesWritten) + " rows written";
        batch.progress.Say(summary + ") -> " + files.Output);
    }
    return true;
}

// Whether the tables' character set changes what is written: the CSV is
// decoded from it, and -s and -w beyond ASCII are taken in it.
bool TextMatters(const CommandLine& cl) {
    const auto beyondAscii = [](const std::string& bytes) {
        for (unsigned char b : bytes)
            if (b >= 0x80)
                return true;
        return false;
    };
    bool matters = cl.CsvOutput || (cl.SeparatorGiven && beyondAscii(cl.Separator));
    for (const SelectionCondition& c : cl.Where)
        matters = matters || beyondAscii(c.Value);
    return matters;
}

unsigned DefaultJobs() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

}  // namespace

int Main(const std::vector<std::string>& arguments) {
    CommandLine cl;
    std::vector<FileJob> jobs;
    // The tables' folder, found once: the -s and -w of the command line are
    // taken in the character set of the tables there.
    std::optional<std::string> tablesFolder;
    TablesCharset pairCharset;
    const auto charsetOf = [&](const CommandLine& parsed) {
        tablesFolder = TablesFolder(parsed);
        pairCharset = CharsetOfTables(fileaccess::PathOf(*tablesFolder));
        return pairCharset.Set;
    };
    try {
        cl = ParseCommandLine(arguments, charsetOf);
        if (!cl.Help && !cl.Version && !cl.Stats)
            jobs = PlanJobs(cl);
    } catch (const UsageError& e) {
        Say(std::string(e.what()) + " (try 'mavik-convert --help')");
        return kExitUsage;
    } catch (const CharsetFileError& e) {
        Say(e.what());
        return kExitFailure;
    }
    if (cl.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (cl.Version) {
        std::printf("mavik-convert (MAVIK) %s\n", kMavikVersion);
        return 0;
    }
    fileaccess::UseBinaryStandardStreams();
    EndTidilyOnSignals(&RunningProgress::Abandon);
    if (cl.Stats)
        return PrintStatistics(cl);

    WarnAboutOptions(cl);
    for (const SelectionCondition& c : cl.Where)
        if (const auto why = NeverMatches(c))
            Say("warning: " + CharsetToUtf8(cl.TextCharset, NeverMatchText(*why)));
    if (!tablesFolder)
        tablesFolder = TablesFolder(cl);
    else if (pairCharset.Source == CharsetSource::Default && TextMatters(cl))
        Say("warning: the code tables in " + (tablesFolder->empty() ? std::string("the current folder") : *tablesFolder) +
            " do not say their character set; their text is taken as windows-1251 (give --charset, or a file \"" +
            kCharsetFile + "\" beside them naming it)");
    const int mode = cl.ConversionMode();
    CodeTables tables;
    if (!LoadTableFor(mode, *tablesFolder, tables))
        return kExitFailure;
    std::vector<std::string> fieldNames;
    if (cl.CsvOutput) {
        try {
            fieldNames = LoadFieldNames(*tablesFolder).value_or(std::vector<std::string>{});
        } catch (const IOError& e) {
            Say(Subject(e.FileName(), e.Words()));
            return kExitFailure;
        } catch (const FieldNamesError& e) {
            Say(e.what());
            return kExitFailure;
        }
    }
    if (cl.OutputDir) {
        std::error_code ec;
        std::filesystem::create_directories(fileaccess::PathOf(*cl.OutputDir), ec);
        if (ec) {
            Say(*cl.OutputDir + ": cannot create the folder: " + ec.message());
            return kExitFailure;
        }
    }

    // Sizes for the progress line; a file that cannot be measured fails in
    // its run, with its own message.
    std::vector<std::int64_t> blockCounts(jobs.size(), 0);
    std::vector<char> refused(jobs.size(), 0);
    std::int64_t totalBytes = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs[i].Input == kStandardStream) {
            totalBytes = -1;
            continue;
        }
        refused[i] = !CheckInputFile(cl, jobs[i].Input);
        try {
            const InputFileStatistics stats = MeasureInputFile(jobs[i].Input);
            blockCounts[i] = cl.Blocks ? cl.Blocks->Count : stats.BlockCount;
            if (totalBytes >= 0)
                totalBytes += cl.Blocks ? cl.Blocks->Count * static_cast<std::int64_t>(kBlockSize) : stats.SizeBytes;
        } catch (const IOError&) {
        }
    }

    BatchProgress progress(stderr, !cl.Quiet && StandardErrorIsATerminal(), static_cast<int>(jobs.size()),
                           totalBytes);
    const RunningProgress running(progress);
    // The records are tested after recoding, as ASCII blocks.
    const RecordPredicate where(cl.Where, RecordLayout::Block(BlockCode::Ascii), nullptr);
    const Batch batch{cl, tables, FixSeparator(mode, cl.Tab, cl.Separator), progress, cl.OutputDir.has_value(),
                      cl.Where.empty() ? nullptr : &where, fieldNames};

    // -j N: N threads take the files in the order given, each the next one
    // not yet taken; with -j 1 they are converted one after another.
    std::vector<char> succeeded(jobs.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) {
            if (refused[i])
                progress.FileDone();
            else
                succeeded[i] = Convert(batch, jobs[i], blockCounts[i]);
        }
    };
    const std::size_t threads = std::min<std::size_t>(cl.Jobs ? cl.Jobs : DefaultJobs(), jobs.size());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
    progress.Finish();

    const auto failed = static_cast<std::size_t>(std::count(succeeded.begin(), succeeded.end(), 0));
    if (batch.several && !cl.Quiet) {
        const std::size_t done = jobs.size() - failed;
        std::string summary = std::to_string(done) + (done == 1 ? " file" : " files") + " converted";
        if (failed != 0)
            summary += ", " + std::to_string(failed) + " failed";
        Say(summary);
    }
    return failed == 0 ? 0 : kExitFailure;
}

#ifdef _WIN32
// The arguments as Windows gives them, in UTF-16, so that any file name
// reaches the program whole; inside it they are UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(fileaccess::Utf8(std::filesystem::path(argv[i])));
    return Main(arguments);
}
#else
int main(int argc, char** argv) { return Main({argv + 1, argv + argc}); }
#endif
