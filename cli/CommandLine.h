#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Charset.h"
#include "ConversionRun.h"
#include "SelectionCondition.h"

// What mavik-convert was asked to do.
struct CommandLine {
    bool AsciiInput = false;    // -i ascii
    bool BinaryOutput = false;  // -o binary
    bool CsvOutput = false;     // -o csv
    bool Raw = false;
    std::string Separator = "*";  // in TextCharset
    bool SeparatorGiven = false;
    bool Tab = false;
    std::string TablesFolder;     // empty: the current folder
    std::string CharsetName;      // --charset: the tables' character set, when they do not say it
    // The tables' character set: -s and -w are taken in it, the CSV decoded
    // from it. --charset, else what ParseCommandLine's charsetOf says.
    Charset TextCharset = Charset::Windows1251;
    std::optional<std::string> OutputDir;  // -d
    bool LastDot = false;         // --last-dot: output names cut at the last "."
    unsigned Jobs = 0;            // -j; 0: one per processor
    bool Stats = false;
    bool Quiet = false;
    bool Strict = false;          // an input that does not look like what it is taken for is an error
    bool Help = false;
    bool Version = false;
    std::vector<SelectionCondition> Where;  // -w: only the records these select
    std::optional<BlockRange> Blocks;  // --blocks FIRST:COUNT: only these of each input
    bool PieceHeader = false;     // --piece-header: a CSV header on a piece from a later block too
    std::vector<std::string> Inputs;  // "-" is standard input
    std::optional<std::string> Output;  // "-" is standard output

    int ConversionMode() const { return (AsciiInput ? 10 : 0) + (BinaryOutput ? 1 : CsvOutput ? 2 : 0); }
};

// The name that stands for standard input or output.
inline constexpr const char* kStandardStream = "-";

// A usage error, with a one-line reason: exit status 2, nothing created.
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Throws UsageError. Without --charset, charsetOf (when given) says the
// tables' character set from the options parsed so far; windows-1251 when
// not given.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::function<Charset(const CommandLine&)>& charsetOf = {});

// The --help text: every option, the output name rule and the exit statuses.
std::string UsageText();

// One conversion of a run: an input and where its output goes.
struct FileJob {
    std::string Input;
    std::string Output;
};

// The conversions a parsed command line asks for, in the order given: one
// for INPUT [OUTPUT], one per INPUT with -d. Throws UsageError when two
// inputs would give the same output name in the -d folder.
std::vector<FileJob> PlanJobs(const CommandLine& cl);
