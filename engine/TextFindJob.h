#pragma once

#include <memory>
#include <optional>

#include "BackgroundJob.h"
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
    const std::optional<Match>& Result() const { return result_; }
    bool Cancelled() const { return cancelled_; }

private:
    const FileSource& source_;
    SearchPattern pattern_;
    std::uint64_t from_;
    bool backward_;
    std::shared_ptr<const LineIndex> index_;
    std::optional<Match> result_;
    bool cancelled_ = false;
    BackgroundJob job_;  // last: it starts at once
};
