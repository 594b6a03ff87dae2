#pragma once

#include <optional>
#include <string>
#include <vector>

// What mavik-convert was asked to do.
struct CommandLine {
    bool AsciiInput = false;    // -i ascii
    bool BinaryOutput = false;  // -o binary
    bool Raw = false;
    std::string Separator = "*";
    bool Tab = false;
    std::string TablesFolder;   // empty: the current folder
    bool Stats = false;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
    std::string Input;
    std::optional<std::string> Output;

    int ConversionMode() const { return (AsciiInput ? 10 : 0) + (BinaryOutput ? 1 : 0); }
};

// Throws std::invalid_argument with a one-line reason on a usage error.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;
