#pragma once

#include <memory>
#include <mutex>

#include "Job.h"
#include "LineIndex.h"

class FileSource;

// Indexes a file's lines in the background, a chunk at a time, publishing
// a snapshot after every chunk so that a view can grow as the index does.
// Progress counts bytes; Cancel() stops it after the current chunk.
class LineIndexJob {
public:
    // Read in pieces that stay in the processor's cache for the count
    // that follows; published every kPublishBytes.
    static constexpr std::size_t kChunk = 256 * 1024;
    static constexpr std::uint64_t kPublishBytes = 4 * 1024 * 1024;

    // source must outlive the job. Indexes the bytes up to source.Size().
    explicit LineIndexJob(const FileSource& source, std::size_t chunk = kChunk);

    std::shared_ptr<const LineIndex> Snapshot() const;
    bool Finished() const { return job_.Finished(); }
    int Percent() const { return job_.Percent(); }
    void Cancel() { job_.Cancel(); }

private:
    std::optional<bool> Run(JobProgress& progress);
    void Publish(const LineIndex& index);

    const FileSource& source_;
    std::size_t chunk_;
    mutable std::mutex mutex_;
    std::shared_ptr<const LineIndex> snapshot_;
    Job<bool> job_;  // last: it starts at once and uses the members above
};
