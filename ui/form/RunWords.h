#pragma once

#include <string>

#include "ConversionRun.h"

class FormWords;
class IOError;

namespace form {

// A file error in the user's language by its code, still naming its file.
std::string IOErrorWords(const IOError& error, const FormWords& words);

// The notice's smaller text at the end of a run, in the user's language:
// why it failed, its file and the cause the engine found, or what it left
// out; empty otherwise.
std::string RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath,
                       const FormWords& words);

}  // namespace form
