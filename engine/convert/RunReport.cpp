#include "RunReport.h"

#include <system_error>

#include "CallRecordBlock.h"
#include "FileAccess.h"
#include "InputFileStatistics.h"

RunFailureCause CauseOfFailure(const ConversionResult& result, const std::string& inputPath,
                               const std::string& outputPath) {
    if (!result.Failed || outputPath.empty() || result.ErrorFile != outputPath)
        return {};
    fileaccess::FileInfo input, output;
    if (!inputPath.empty() && fileaccess::StatPath(inputPath, input) && fileaccess::StatPath(outputPath, output) &&
        input.Identity == output.Identity)
        return {RunFailureCause::Why::OutputIsInput, {}};
    const auto folder = fileaccess::PathOf(outputPath).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        return {RunFailureCause::Why::FolderMissing, fileaccess::Utf8(folder)};
    return {};
}

std::string FailureCause(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath) {
    const RunFailureCause cause = CauseOfFailure(result, inputPath, outputPath);
    switch (cause.What) {
    case RunFailureCause::Why::OutputIsInput:
        return " (it is the input file)";
    case RunFailureCause::Why::FolderMissing:
        return " (the folder " + cause.Folder + " does not exist)";
    case RunFailureCause::Why::Other:
        break;
    }
    return {};
}

std::string FailureWords(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath) {
    if (!result.FileError)
        return result.ErrorText;
    // The refusal is ours, not the system's: its errno says nothing.
    if (CauseOfFailure(result, inputPath, outputPath).What == RunFailureCause::Why::OutputIsInput)
        return "not written: it is the input file";
    return result.FileError->Words() + FailureCause(result, inputPath, outputPath);
}

std::string LeftOutTail(const ConversionResult& result) {
    if (result.Failed || result.InputSize < 0)
        return {};
    const InputFileStatistics whole = StatisticsOfSize(result.InputSize);
    if (result.BlocksBefore + result.BlocksDone != whole.BlockCount || whole.TailBytes() == 0)
        return {};
    return "The last " + std::to_string(whole.TailBytes()) + " bytes (from offset " +
           std::to_string(whole.SizeBytes - whole.TailBytes()) +
           ") are not a whole 2048-byte block and were not converted.";
}
