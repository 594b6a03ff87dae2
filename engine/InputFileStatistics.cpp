#include "InputFileStatistics.h"

#include <sys/stat.h>
#include <unistd.h>

#include "BlockReader.h"
#include "CallRecordBlock.h"

InputFileStatistics MeasureInputFile(const std::string& path) {
    struct stat st {};
    ::close(OpenRegularFileForReading(path, st));
    InputFileStatistics stats;
    stats.SizeBytes = static_cast<std::int64_t>(st.st_size);
    stats.BlockCount = stats.SizeBytes / static_cast<std::int64_t>(kBlockSize);
    stats.RecordCount = stats.BlockCount * static_cast<std::int64_t>(kRecordsPerBlock);
    return stats;
}
