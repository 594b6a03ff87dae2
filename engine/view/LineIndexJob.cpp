#include "LineIndexJob.h"

#include "AlignedBuffer.h"
#include "FileSource.h"

LineIndexJob::LineIndexJob(const FileSource& source, std::size_t chunk)
    : source_(source),
      chunk_(chunk),
      snapshot_(std::make_shared<const LineIndex>()),
      job_([this](JobProgress& progress) { return Run(progress); }) {}

std::shared_ptr<const LineIndex> LineIndexJob::Snapshot() const {
    std::lock_guard lock(mutex_);
    return snapshot_;
}

void LineIndexJob::Publish(const LineIndex& index) {
    auto copy = std::make_shared<const LineIndex>(index);
    std::lock_guard lock(mutex_);
    snapshot_ = std::move(copy);
}

std::optional<bool> LineIndexJob::Run(JobProgress& control) {
    const std::uint64_t size = source_.Size();
    control.Total = size;
    LineIndexBuilder builder;
    AlignedBuffer buffer(chunk_);
    std::uint64_t at = 0;
    while (at < size && !control.Stopped()) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_, size - at));
        const std::size_t got = source_.Read(at, buffer.Data(), want);
        if (got == 0)
            break;  // the file shrank: what is there is indexed
        builder.Feed(buffer.Data(), got);
        at += got;
        control.Done = at;
        if (at < size && at / kPublishBytes != (at - got) / kPublishBytes)
            Publish(builder.Index());
    }
    if (control.Stopped())
        return std::nullopt;
    builder.Finish();
    Publish(builder.Index());
    control.Done = size;
    return true;
}
