#pragma once

#include <exception>
#include <string>

#include "ConversionRun.h"
#include "InputCheck.h"

class FormWords;
class IOError;

namespace form {

// The system's description of a file error's errno in the user's words,
// where the error's own text does not say it ("no space left on the disk");
// empty for the errno values that its class text names already.
std::string SystemWords(const IOError& error, const FormWords& words);

// A file error in the user's language, still naming its file: by its class
// ("File not found: F"), else by the system's errno ("I/O error 5: F",
// never the class of the same number), with SystemWords beside.
std::string IOErrorWords(const IOError& error, const FormWords& words);

// What the general error box says for an error an event operation let
// escape: its own text, as users know it ("File not found", "Cannot open
// file ebcdic-ascii"), with the system's words beside where they help.
std::string ErrorWords(const std::exception& error, const FormWords& words);

// The notice's smaller text at the end of a run, in the user's language:
// why it failed, its file and the cause the engine found, or what it left
// out; empty otherwise.
std::string RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath,
                       const FormWords& words);

// What the first blocks of an input said against the code it was converted
// as, in the user's language; empty for no doubt.
std::string InputDoubtWords(const InputDoubt& doubt, BlockCode chosen, const FormWords& words);

}  // namespace form
