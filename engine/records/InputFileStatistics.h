#pragma once

#include <cstdint>
#include <string>

struct InputFileStatistics {
    std::int64_t SizeBytes = 0;
    std::int64_t BlockCount = 0;   // whole 2048-byte blocks, fraction dropped
    std::int64_t RecordCount = 0;  // BlockCount x 34

    // What follows the last whole block: neither counted nor converted.
    std::int64_t TailBytes() const;
};

// The counts for a file, or a stream, of size bytes.
InputFileStatistics StatisticsOfSize(std::int64_t size);

// Opens the file read-only and sizes it. Throws IOError when it cannot be
// opened or sized, or is not a regular file.
InputFileStatistics MeasureInputFile(const std::string& path);
