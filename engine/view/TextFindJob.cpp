#include "TextFindJob.h"

TextFindJob::TextFindJob(const FileSource& source, SearchPattern pattern, std::uint64_t from,
                         bool backward, std::shared_ptr<const LineIndex> index)
    : job_([&source, pattern = std::move(pattern), from, backward,
            index = std::move(index)](JobProgress& progress) -> std::optional<std::optional<Match>> {
          const auto offset = FindInFile(source, pattern, from, backward, progress);
          if (progress.Stopped())
              return std::nullopt;
          if (!offset)
              return std::optional<Match>();
          return std::optional<Match>(Match{*offset, LineOfOffset(source, *index, *offset)});
      }) {}

const std::optional<TextFindJob::Match>& TextFindJob::Result() const {
    static const std::optional<Match> kNone;
    return job_.Result() ? *job_.Result() : kNone;
}
