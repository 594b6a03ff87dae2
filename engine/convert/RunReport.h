#pragma once

#include <string>

#include "ConversionRun.h"

// What the end of a run says beyond failed or not, for a person to read.

// Why the run failed: the error's text and its file ("File not found:
// /data/out/calls.txt"), adding that the output is the input itself or that
// the output's folder does not exist where that is the cause. Empty when the
// run did not fail.
std::string FailureReason(const ConversionResult& result, const std::string& inputPath,
                          const std::string& outputPath);

// What a run that read its input to the end left out: "The last 1000 bytes
// are not a whole 2048-byte block and were not converted." Empty when
// nothing was left out, and for a run that failed or stopped early.
std::string LeftOutTail(const ConversionResult& result);
