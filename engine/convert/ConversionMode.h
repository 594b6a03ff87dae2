#pragma once

#include <optional>
#include <string>

#include "CodeTable.h"
#include "RecordLayout.h"

// ConversionMode = input type index x 10 + output type index. Only these run.
inline constexpr int kEbcdicToText = 0;
inline constexpr int kEbcdicToAsciiImage = 1;
inline constexpr int kAsciiToText = 10;
inline constexpr int kAsciiToEbcdicImage = 11;
// CSV, from the converter only: the window has no such output type.
inline constexpr int kEbcdicToCsv = 2;
inline constexpr int kAsciiToCsv = 12;

enum class OutputType { Text, Binary, Csv };
enum class InputCode { Ebcdic, Ascii };

// One conversion mode that runs: what the input is and what is made of it.
// The window and the converter keep its number; everything a mode decides
// is answered here.
class RunMode {
public:
    constexpr RunMode(InputCode input, OutputType output) : input_(input), output_(output) {}

    // The window's number for its two chosen indexes: input x 10 + output.
    static constexpr int Number(int inputIndex, int outputIndex) { return inputIndex * 10 + outputIndex; }
    // The mode of a number; nothing for one that does not run.
    static std::optional<RunMode> FromNumber(int number);
    int Number() const;

    InputCode Input() const { return input_; }
    OutputType Output() const { return output_; }
    // EbcdicToAscii for EBCDIC input, AsciiToEbcdic for the EBCDIC image of
    // ASCII input, none for ASCII input written as text or CSV.
    std::optional<CodeTableKind> Table() const;
    // ".txt", ".asc", ".ebs" or ".csv".
    const char* Extension() const;
    // Empty for binary and CSV output, TAB when tab is on, otherwise the
    // user's text as it stands (already in the file's 8-bit code).
    std::string Separator(bool tab, const std::string& text) const;
    // How a run in this mode lays out its output, with the separator it
    // fixed and the format box as it stood; nothing where only recognition
    // can tell (formatted lines run together, CSV).
    std::optional<RecordLayout> OutputLayout(const std::string& separator, bool formatted) const;

    bool operator==(const RunMode&) const = default;

private:
    InputCode input_;
    OutputType output_;
};

bool IsRunnableMode(int mode);

// Binary for 1 and 11, CSV for 2 and 12, text for every other value.
OutputType OutputTypeFor(int mode);

// The table a mode recodes through: EbcdicToAscii for 0, 1 and 2,
// AsciiToEbcdic for 11, none otherwise.
std::optional<CodeTableKind> RecodeTableFor(int mode);

// Where DeriveOutputName cuts the file name: at its first "." (the window's
// rule), or at its last, which keeps dated names such as sw1.20240712.cdr
// apart.
enum class NameCut { FirstDot, LastDot };

// The output file name for an input path: the input without the extension
// of its file name, plus ".txt", ".asc", ".ebs" or ".csv". The cut is at the first
// (or last) "." of the last path component only, so dots in folder names are
// kept. No name for a mode that does not run.
std::optional<std::string> DeriveOutputName(const std::string& inputPath, int mode,
                                            NameCut cut = NameCut::FirstDot);

// The separator of a run: empty for binary and CSV output, TAB when tab is on,
// otherwise the user's text as it stands (already in the file's 8-bit code).
std::string FixSeparator(int mode, bool tab, const std::string& text);
