#include "RunReport.h"

#include <system_error>

#include "CallRecordBlock.h"
#include "FileAccess.h"
#include "InputFileStatistics.h"

std::string FailureCause(const ConversionResult& result, const std::string& inputPath,
                         const std::string& outputPath) {
    if (!result.Failed || outputPath.empty() || result.ErrorFile != outputPath)
        return {};
    fileaccess::FileInfo input, output;
    if (!inputPath.empty() && fileaccess::StatPath(inputPath, input) && fileaccess::StatPath(outputPath, output) &&
        input.Identity == output.Identity)
        return " (it is the input file)";
    const auto folder = fileaccess::PathOf(outputPath).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        return " (the folder " + fileaccess::Utf8(folder) + " does not exist)";
    return {};
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
