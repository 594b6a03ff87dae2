// mavik-convert: the batch converter, on the same engine as the window.

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CodeTable.h"
#include "CommandLine.h"
#include "FileAccess.h"
#include "ConversionMode.h"
#include "ConversionRun.h"
#include "IOError.h"
#include "InputFileStatistics.h"
#include "InstalledLayout.h"
#include "ProgressBar.h"
#include "Version.h"

namespace {

constexpr int kExitIOFailure = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& file, const std::string& text) {
    if (file.empty())
        std::fprintf(stderr, "mavik-convert: %s\n", text.c_str());
    else
        std::fprintf(stderr, "mavik-convert: %s: %s\n", file.c_str(), text.c_str());
    return kExitIOFailure;
}

class BatchSettings : public RunSettings {
public:
    BatchSettings(int mode, std::int64_t blockCount, bool formatted, ProgressBar* bar)
        : mode_(mode), blockCount_(blockCount), formatted_(formatted), bar_(bar) {}
    int ConversionMode() const override { return mode_; }
    std::int64_t BlockCount() const override { return blockCount_; }
    bool Converting() override { return true; }
    bool FormatBox1() const override { return formatted_; }
    void UpdateGauge(int progress) override {
        if (bar_)
            bar_->Show(progress);
    }

private:
    int mode_;
    std::int64_t blockCount_;
    bool formatted_;
    ProgressBar* bar_;
};

// Names the default tables of the installation this program belongs to,
// when there is one, so that a user knows what to give --tables.
std::string InstalledTablesHint() {
    char exe[4096];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return {};
    const std::string path(exe, static_cast<std::size_t>(length));
    const std::string tables = InstalledDataDir(path.substr(0, path.rfind('/') + 1)) + "codetables";
    std::error_code error;
    if (!std::filesystem::is_directory(tables, error))
        return {};
    return "; the default tables are in " + tables;
}

// Loads the one table the mode recodes through. A batch run must not
// silently write zeros, so a table that cannot be loaded is a failure.
bool LoadTableFor(int mode, const std::string& folder, CodeTables& tables) {
    const auto kind = RecodeTableFor(mode);
    if (!kind)
        return true;
    const std::string path = fileaccess::Utf8(fileaccess::PathOf(folder) / CodeTableFile(*kind));
    try {
        const std::size_t got = LoadCodeTable(tables, *kind, fileaccess::PathOf(folder));
        if (got < 256)
            std::fprintf(stderr,
                         "mavik-convert: warning: %s holds %zu of 256 bytes; byte values %zu-255 "
                         "become 0x00\n",
                         path.c_str(), got, got);
        return true;
    } catch (const std::exception& e) {
        Fail({}, std::string(e.what()) + " (looked for " + path + "; see --tables" +
                     InstalledTablesHint() + ")");
        return false;
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    fileaccess::FileInfo ia, ib;
    return fileaccess::StatPath(a, ia) && fileaccess::StatPath(b, ib) && ia.Identity == ib.Identity;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    try {
        cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "mavik-convert: %s (try 'mavik-convert --help')\n", e.what());
        return kExitUsage;
    }
    if (cl.Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cl.Version) {
        std::printf("mavik-convert (MAVIK) %s\n", kMavikVersion);
        return 0;
    }

    InputFileStatistics stats;
    try {
        stats = MeasureInputFile(cl.Input);
    } catch (const IOError& e) {
        return Fail(e.FileName(), e.what());
    }
    if (cl.Stats) {
        std::printf("size=%" PRId64 " blocks=%" PRId64 " records=%" PRId64 "\n", stats.SizeBytes,
                    stats.BlockCount, stats.RecordCount);
        return 0;
    }

    const int mode = cl.ConversionMode();
    const std::string output = cl.Output ? *cl.Output : *DeriveOutputName(cl.Input, mode);
    CodeTables tables;
    if (!LoadTableFor(mode, cl.TablesFolder, tables))
        return kExitIOFailure;

    const bool showProgress = !cl.Quiet && ::isatty(STDERR_FILENO);
    ProgressBar bar(stderr);
    BatchSettings settings(mode, stats.BlockCount, !cl.Raw, showProgress ? &bar : nullptr);
    const ConversionResult result =
        RunConversion(cl.Input, output, FixSeparator(mode, cl.Tab, cl.Separator), tables, settings);
    bar.Finish();
    if (result.Failed) {
        const bool isInput = result.ErrorFile == output && SameFile(cl.Input, output);
        return Fail(result.ErrorFile, result.ErrorText + (isInput ? " (it is the input file)" : ""));
    }

    const std::int64_t tail = result.InputSize % static_cast<std::int64_t>(kBlockSize);
    if (tail != 0)
        std::fprintf(stderr,
                     "mavik-convert: warning: %s: the last %" PRId64 " bytes (from offset %" PRId64
                     ") are not a whole 2048-byte block and were not converted\n",
                     cl.Input.c_str(), tail, result.InputSize - tail);
    if (!cl.Quiet)
        std::fprintf(stderr, "mavik-convert: %" PRId64 " blocks (%" PRId64 " records) -> %s\n",
                     result.BlocksDone, result.BlocksDone * static_cast<std::int64_t>(kRecordsPerBlock),
                     output.c_str());
    return 0;
}
