#include "InputFileStatistics.h"

#include "FileAccess.h"
#include "CallRecordBlock.h"

InputFileStatistics MeasureInputFile(const std::string& path) {
    fileaccess::FileInfo info;
    fileaccess::Close(OpenRegularFileForReading(path, info));
    InputFileStatistics stats;
    stats.SizeBytes = info.Size;
    stats.BlockCount = stats.SizeBytes / static_cast<std::int64_t>(kBlockSize);
    stats.RecordCount = stats.BlockCount * static_cast<std::int64_t>(kRecordsPerBlock);
    return stats;
}
