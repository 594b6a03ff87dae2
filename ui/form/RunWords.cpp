#include "RunWords.h"

#include <cstdint>

#include "FormWords.h"
#include "IOError.h"
#include "InputFileStatistics.h"
#include "RunReport.h"

namespace form {

std::string IOErrorWords(const IOError& error, const FormWords& words) {
    const std::string& file = error.FileName();
    switch (error.Code()) {
    case kFileNotFound:
        return Arg(words.translate("IOError", "File not found: %1"), file);
    case kInvalidFilename:
        return Arg(words.translate("IOError", "Invalid filename: %1"), file);
    case kTooManyOpenFiles:
        return Arg(words.translate("IOError", "Too many open files: %1"), file);
    case kFileAccessDenied:
        return Arg(words.translate("IOError", "File access denied: %1"), file);
    default:
        return Arg(Arg(words.translate("IOError", "I/O error %1: %2"), error.Code()), file);
    }
}

// The engine decides what there is to say; the words are the window's.
std::string RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath,
                       const FormWords& words) {
    if (result.Failed) {
        if (result.ErrorFile.empty())
            return result.ErrorText;
        const std::string error = IOErrorWords(IOError(result.ErrorCode, result.ErrorFile), words);
        const RunFailureCause cause = CauseOfFailure(result, inputPath, outputPath);
        switch (cause.What) {
        case RunFailureCause::Why::OutputIsInput:
            return Arg(words.translate("TMAVIKForm", "%1 (it is the input file)"), error);
        case RunFailureCause::Why::FolderMissing:
            return Arg(Arg(words.translate("TMAVIKForm", "%1 (the folder %2 does not exist)"), error), cause.Folder);
        case RunFailureCause::Why::Other:
            break;
        }
        return error;
    }
    if (LeftOutTail(result).empty())
        return {};
    const InputFileStatistics whole = StatisticsOfSize(result.InputSize);
    const int tail = static_cast<int>(whole.TailBytes());  // less than a block
    const std::string text = words.translate(
        "TMAVIKForm", "The last %n bytes (from offset %1) are not a whole 2048-byte block and were not converted.",
        nullptr, tail);
    return Arg(text, whole.SizeBytes - tail);
}

}  // namespace form
