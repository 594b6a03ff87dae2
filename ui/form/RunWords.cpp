#include "RunWords.h"

#include <cerrno>
#include <cstdint>

#include "FormWords.h"
#include "IOError.h"
#include "InputFileStatistics.h"
#include "RunReport.h"

namespace form {

namespace {

std::string WithSystemWords(const std::string& text, const IOError& error, const FormWords& words) {
    const std::string system = SystemWords(error, words);
    return system.empty() ? text : text + " (" + system + ")";
}

}  // namespace

std::string SystemWords(const IOError& error, const FormWords& words) {
    switch (error.Errno()) {
    case ENOENT:
    case EACCES:
    case EPERM:
    case EMFILE:
    case ENFILE:
        return {};  // the class's own text says it
    case ENOSPC:
        return words.translate("IOError", "no space left on the disk");
#ifdef EDQUOT
    case EDQUOT:
        return words.translate("IOError", "the disk quota is used up");
#endif
    case EIO:
        return words.translate("IOError", "the device failed to read or write");
    case EISDIR:
        return words.translate("IOError", "it is a folder, not a file");
    case EROFS:
        return words.translate("IOError", "the file system is read-only");
    case EFBIG:
        return words.translate("IOError", "the file is too large");
    case ENXIO:
    case ENODEV:
        return words.translate("IOError", "no such device");
    case ENOTDIR:
        return words.translate("IOError", "a part of the path is not a folder");
    case ENAMETOOLONG:
        return words.translate("IOError", "the name is too long");
    case ELOOP:
        return words.translate("IOError", "too many symbolic links");
    default:
        // No words of our own: the system's, as it gives them.
        return error.SystemText();
    }
}

std::string IOErrorWords(const IOError& error, const FormWords& words) {
    const std::string& file = error.FileName();
    std::string text;
    switch (error.ClassCode()) {
    case kFileNotFound:
        text = Arg(words.translate("IOError", "File not found: %1"), file);
        break;
    case kInvalidFilename:
        text = Arg(words.translate("IOError", "Invalid filename: %1"), file);
        break;
    case kTooManyOpenFiles:
        text = Arg(words.translate("IOError", "Too many open files: %1"), file);
        break;
    case kFileAccessDenied:
        text = Arg(words.translate("IOError", "File access denied: %1"), file);
        break;
    default:
        // The errno, even one of 2-5: EIO is no refused access.
        text = Arg(Arg(words.translate("IOError", "I/O error %1: %2"), error.Errno()), file);
        break;
    }
    return WithSystemWords(text, error, words);
}

std::string ErrorWords(const std::exception& error, const FormWords& words) {
    if (const auto* io = dynamic_cast<const IOError*>(&error))
        return WithSystemWords(io->what(), *io, words);
    if (const auto* table = dynamic_cast<const CannotOpenFile*>(&error))
        return WithSystemWords(table->what(), table->Cause(), words);
    return error.what();
}

// The engine decides what there is to say; the words are the window's.
std::string RunDetails(const ConversionResult& result, const std::string& inputPath, const std::string& outputPath,
                       const FormWords& words) {
    if (result.Failed) {
        if (!result.FileError)
            return result.ErrorText;
        const std::string error = IOErrorWords(*result.FileError, words);
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

std::string InputDoubtWords(const InputDoubt& doubt, BlockCode chosen, const FormWords& words) {
    switch (doubt.What) {
    case InputDoubt::Kind::None:
        break;
    case InputDoubt::Kind::OtherCode:
        return chosen == BlockCode::Ebcdic
                   ? words.translate("TMAVIKForm", "The records of the input look like ASCII, not EBCDIC: "
                                                   "choose the input type Alcatel S12 ASCII.")
                   : words.translate("TMAVIKForm", "The records of the input look like EBCDIC, not ASCII: "
                                                   "choose the input type Alcatel S12 EBCDIC.");
    case InputDoubt::Kind::TextOutput:
        return words.translate("TMAVIKForm", "The input looks like a text output of MAVIK, not call records.");
    case InputDoubt::Kind::NotCallRecords:
        return words.translate("TMAVIKForm", "The input does not look like call records: neither EBCDIC nor "
                                             "ASCII digits make up its first blocks.");
    }
    return {};
}

}  // namespace form
