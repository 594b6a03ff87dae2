// Line index and find over arbitrary bytes: long lines, no line ends, CR
// alone, NUL bytes.
// Input: a byte for the piece size the index is fed in, a byte of flags, a
// byte for the pattern's length, a byte for the find's chunk size, the
// pattern, then the file. Flags 1: case does not matter; 2: UTF-8; 8: the
// file repeated past 64 KiB, where the index decides its first checkpoint
// (at the end of its first 64 KiB piece); with 16 past 128 KiB, for more;
// with 32 the copies but the last lose their LFs and go past a MiB, so that
// a line of a MiB or more ends in the last one.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FileSource.h"
#include "FuzzCheck.h"
#include "Job.h"
#include "LineIndex.h"
#include "TextSearch.h"

namespace {

FUZZ_REFERENCE std::vector<std::uint8_t> RepeatedFile(const std::uint8_t* data, std::size_t size,
                                                     std::uint8_t flags) {
    std::vector<std::uint8_t> unit(data, data + size);
    if (!(flags & 8) || unit.empty())
        return unit;
    std::size_t past = (flags & 16) ? 128 * 1024 : 64 * 1024;
    std::vector<std::uint8_t> copy = unit;
    if (flags & 32) {
        past = 1024 * 1024;
        copy.erase(std::remove(copy.begin(), copy.end(), '\n'), copy.end());
        if (copy.empty())
            return unit;
    }
    // Whole copies up to past, then the unit once more; doubled by memcpy.
    const std::size_t copies = past / copy.size() + 1;
    const std::size_t repeated = copies * copy.size();
    std::vector<std::uint8_t> file(repeated + unit.size());
    std::memcpy(file.data(), copy.data(), copy.size());
    for (std::size_t done = copy.size(); done < repeated; done *= 2)
        std::memcpy(file.data() + done, file.data(), std::min(done, repeated - done));
    std::memcpy(file.data() + repeated, unit.data(), unit.size());
    return file;
}

// Where each line starts: a plain scan with memchr.
FUZZ_REFERENCE std::vector<std::uint64_t> PlainLineStarts(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint64_t> starts;
    if (file.empty())
        return starts;
    starts.push_back(0);
    const std::uint8_t* const begin = file.data();
    const std::uint8_t* const end = begin + file.size();
    for (const std::uint8_t* p = begin; p < end;) {
        const auto* lf = static_cast<const std::uint8_t*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lf || lf + 1 == end)
            break;
        p = lf + 1;
        starts.push_back(static_cast<std::uint64_t>(p - begin));
    }
    return starts;
}

FUZZ_REFERENCE bool MatchesAt(const std::uint8_t* at, const std::string& pattern,
                              const std::array<std::uint8_t, 256>* fold) {
    for (std::size_t j = 0; j < pattern.size(); ++j) {
        const std::uint8_t a = at[j], b = static_cast<std::uint8_t>(pattern[j]);
        if (fold ? (*fold)[a] != (*fold)[b] : a != b)
            return false;
    }
    return true;
}

// The first (or, backward, the last) up to `most` places the pattern
// matches, nearest first: all a find from either end gets to see.
FUZZ_REFERENCE std::vector<std::uint64_t> PlainMatches(const std::vector<std::uint8_t>& file,
                                                      const std::string& pattern,
                                                      const std::array<std::uint8_t, 256>* fold, bool backward,
                                                      std::size_t most) {
    std::vector<std::uint64_t> at;
    const std::size_t m = pattern.size();
    if (m == 0 || m > file.size())
        return at;
    const std::size_t last = file.size() - m;
    for (std::size_t k = 0; k <= last && at.size() < most; ++k) {
        const std::size_t i = backward ? last - k : k;
        if (MatchesAt(file.data() + i, pattern, fold))
            at.push_back(i);
    }
    return at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::size_t piece = 1 + data[0] * 37u;
    const std::uint8_t flags = data[1];
    const std::size_t patternLength = std::min<std::size_t>(data[2] % 16, size - 4);
    const std::size_t chunk = std::max<std::size_t>(16, std::size_t{data[3]} * 61);
    const std::string pattern(reinterpret_cast<const char*>(data) + 4, patternLength);
    const std::vector<std::uint8_t> file = RepeatedFile(data + 4 + patternLength, size - 4 - patternLength, flags);

    // Pieces of the given size, every other one longer in a large file, so
    // that a MiB is not fed a byte at a time.
    LineIndexBuilder builder;
    const std::size_t longPiece = std::max(piece, file.size() / 512);
    for (std::size_t at = 0, i = 0; at < file.size(); ++i) {
        const std::size_t n = std::min(i % 2 ? longPiece : piece, file.size() - at);
        builder.Feed(file.data() + at, n);
        at += n;
    }
    builder.Finish();
    const LineIndex& index = builder.Index();

    const std::vector<std::uint64_t> starts = PlainLineStarts(file);
    FUZZ_CHECK(index.LineCount() == starts.size());
    FUZZ_CHECK(index.IndexedBytes == file.size());
    // A checkpoint is where a line starts, or at the end of a file that
    // ends in LF: where the next line starts should the file grow.
    for (std::size_t i = 1; i < index.Checkpoints.size(); ++i) {
        const LineCheckpoint& c = index.Checkpoints[i];
        if (c.Line < starts.size())
            FUZZ_CHECK(starts[c.Line] == c.Offset);
        else
            FUZZ_CHECK(c.Line == starts.size() && c.Offset == file.size() && file.back() == '\n');
        FUZZ_CHECK(c.Line > index.Checkpoints[i - 1].Line);
    }

    const MemoryFile memory(file.data(), file.size());
    const FileSource source(memory.Path());
    // Line k starts right after the (k-1)th line end; no line past the last.
    // Every line of a small file, around the checkpoints of a large one.
    std::vector<std::uint64_t> lines;
    const std::uint64_t first = file.size() < 64 * 1024 ? 16 : 3;
    for (std::uint64_t k = 0; k < starts.size() && k < first; ++k)
        lines.push_back(k);
    for (const LineCheckpoint& c : index.Checkpoints)
        for (std::uint64_t k = c.Line > 2 ? c.Line - 2 : 0; k < c.Line + 2 && k < starts.size(); ++k)
            lines.push_back(k);
    for (std::uint64_t k = starts.size() > 3 ? starts.size() - 3 : 0; k < starts.size(); ++k)
        lines.push_back(k);
    for (const std::uint64_t k : lines) {
        FUZZ_CHECK(LineStart(source, index, k) == starts[k]);
        FUZZ_CHECK(LineOfOffset(source, index, starts[k]) == k);
        if (k + 1 < starts.size())
            FUZZ_CHECK(LineOfOffset(source, index, starts[k + 1] - 1) == k);
    }
    // None past the last; an empty file still shows its one empty line.
    if (file.empty())
        FUZZ_CHECK(LineStart(source, index, 0) == 0u && !LineStart(source, index, 1));
    else
        FUZZ_CHECK(!LineStart(source, index, starts.size()));

    // Find gives the same matches as a plain search, forward from every
    // match and backward from each one's start, across chunk borders. Not
    // in a file of a MiB, made for the index: its chunks are only more of
    // the same, and would take most of the run.
    if (pattern.empty() || file.size() > 1024 * 1024)
        return 0;
    SearchPattern search{pattern, !(flags & 1), (flags & 2) ? Charset::Utf8 : Charset::Windows1251};
    const auto foldTable = CaseFoldTable(search.Encoding);
    const auto* fold = search.MatchCase ? nullptr : &foldTable;
    constexpr std::size_t kFinds = 20;
    // Small chunks for small files, where borders are many anyway.
    const std::size_t findChunk = std::max({chunk, pattern.size(), file.size() / 64});
    JobProgress control;
    const std::vector<std::uint64_t> ahead = PlainMatches(file, pattern, fold, false, kFinds);
    std::uint64_t from = 0;
    for (std::size_t i = 0; i < kFinds; ++i) {
        const auto found = FindInFile(source, search, from, false, control, findChunk);
        FUZZ_CHECK(i < ahead.size() ? found == ahead[i] : !found);
        if (!found)
            break;
        from = *found + 1;
    }
    const std::vector<std::uint64_t> behind = PlainMatches(file, pattern, fold, true, kFinds);
    std::uint64_t before = file.size() + 1;
    for (std::size_t i = 0; i < kFinds; ++i) {
        const auto found = FindInFile(source, search, before, true, control, findChunk);
        FUZZ_CHECK(i < behind.size() ? found == behind[i] : !found);
        if (!found)
            break;
        before = *found;
    }
    return 0;
}
