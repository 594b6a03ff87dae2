#include "TextFindJob.h"

TextFindJob::TextFindJob(const FileSource& source, SearchPattern pattern, std::uint64_t from,
                         bool backward, std::shared_ptr<const LineIndex> index)
    : source_(source),
      pattern_(std::move(pattern)),
      from_(from),
      backward_(backward),
      index_(std::move(index)),
      job_([this](BackgroundJob::Control& control) {
          const auto offset = FindInFile(source_, pattern_, from_, backward_, control);
          cancelled_ = control.Stopped();
          if (offset && !cancelled_)
              result_ = Match{*offset, LineOfOffset(source_, *index_, *offset)};
      }) {}
