#pragma once

#include <string>

#include "ConversionRun.h"

// What the end of a run says beyond failed or not, for a person to read.

// Why writing the output failed, when its error alone does not tell it: the
// output is the input (through any link or spelling), or its folder does
// not exist. A path left empty (a stream) is not looked at.
struct RunFailureCause {
    enum class Why { Other, OutputIsInput, FolderMissing };
    Why What = Why::Other;
    std::string Folder;  // FolderMissing: the folder, UTF-8
};
RunFailureCause CauseOfFailure(const ConversionResult& result, const std::string& inputPath,
                               const std::string& outputPath);

// The cause as its error text's English ending: " (it is the input file)",
// " (the folder F does not exist)", or empty.
std::string FailureCause(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath);

// A failed run in English words, for a console: a file step by its errno's
// own text ("cannot write: No space left on device"), with the cause above
// where there is one; any other failure by its text.
std::string FailureWords(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath);

// What a run that read its input to the end left out: "The last 1000 bytes
// (from offset 4096) are not a whole 2048-byte block and were not
// converted." Empty when nothing was left out, and for a run that failed,
// stopped early or ended its range before the last whole block.
std::string LeftOutTail(const ConversionResult& result);
