#pragma once

#include <memory>
#include <optional>

#include "Job.h"
#include "LineIndex.h"
#include "TextSearch.h"

class FileSource;

// One find in the background: the match's offset and the line it is on.
class TextFindJob {
public:
    struct Match {
        std::uint64_t Offset;
        std::uint64_t Line;
    };

    // source must outlive the job; index is any snapshot of its line index.
    TextFindJob(const FileSource& source, SearchPattern pattern, std::uint64_t from, bool backward,
                std::shared_ptr<const LineIndex> index);

    bool Finished() const { return job_.Finished(); }
    int Percent() const { return job_.Percent(); }
    void Cancel() { job_.Cancel(); }
    // Once finished: the match, or nothing (none, or cancelled).
    const std::optional<Match>& Result() const;
    bool Cancelled() const { return !job_.Result(); }

private:
    // A find that ran to its end holds its match or none; one that was
    // cancelled or failed holds nothing at all.
    Job<std::optional<Match>> job_;
};
