#include "InputFileStatistics.h"

#include "FileAccess.h"
#include "CallRecordBlock.h"

InputFileStatistics MeasureInputFile(const std::string& path) {
    fileaccess::FileInfo info;
    fileaccess::Close(OpenRegularFileForReading(path, info));
    return StatisticsOfSize(info.Size);
}

InputFileStatistics StatisticsOfSize(std::int64_t size) {
    InputFileStatistics stats;
    stats.SizeBytes = size;
    stats.BlockCount = size / static_cast<std::int64_t>(kBlockSize);
    stats.RecordCount = stats.BlockCount * static_cast<std::int64_t>(kRecordsPerBlock);
    return stats;
}

std::int64_t InputFileStatistics::TailBytes() const {
    return SizeBytes - BlockCount * static_cast<std::int64_t>(kBlockSize);
}
