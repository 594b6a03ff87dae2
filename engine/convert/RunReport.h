#pragma once

#include <string>

#include "ConversionRun.h"

// What the end of a run says beyond failed or not, for a person to read.

// What a failure's cause adds to its error text when the text alone does not
// tell it: " (it is the input file)" when the output is the input, through
// any link or spelling, or " (the folder F does not exist)". Empty for any
// other failure. A path left empty (a stream) is not looked at.
std::string FailureCause(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath);

// What a run that read its input to the end left out: "The last 1000 bytes
// (from offset 4096) are not a whole 2048-byte block and were not
// converted." Empty when nothing was left out, and for a run that failed,
// stopped early or ended its range before the last whole block.
std::string LeftOutTail(const ConversionResult& result);
