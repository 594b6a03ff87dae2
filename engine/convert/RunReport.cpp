#include "RunReport.h"

#include <filesystem>
#include <system_error>

#include "CallRecordBlock.h"

std::string FailureReason(const ConversionResult& result, const std::string& inputPath,
                          const std::string& outputPath) {
    if (!result.Failed)
        return {};
    if (result.ErrorFile.empty())
        return result.ErrorText;
    std::string reason = result.ErrorText + ": " + result.ErrorFile;
    if (result.ErrorFile == outputPath) {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::path(outputPath).parent_path();
        if (std::filesystem::equivalent(inputPath, outputPath, error))
            reason += " (it is the input file)";
        else if (!folder.empty() && !std::filesystem::is_directory(folder, error))
            reason += " (the folder " + folder.string() + " does not exist)";
    }
    return reason;
}

std::string LeftOutTail(const ConversionResult& result) {
    const auto block = static_cast<std::int64_t>(kBlockSize);
    if (result.Failed || result.InputSize < 0 || result.BlocksDone != result.InputSize / block)
        return {};
    const std::int64_t tail = result.InputSize % block;
    if (tail == 0)
        return {};
    return "The last " + std::to_string(tail) + " bytes are not a whole 2048-byte block and were not converted.";
}
