// Line index and find over arbitrary bytes: long lines, no line ends, CR
// alone, NUL bytes.
// Input: a byte for the piece size the index is fed in, a byte of flags, a
// byte for the pattern's length, a byte for the find's chunk size, the
// pattern, then the file (repeated past the index's checkpoint distance
// when flags say so).
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "FileSource.h"
#include "FuzzCheck.h"
#include "Job.h"
#include "LineIndex.h"
#include "TextSearch.h"

namespace {

std::vector<std::uint64_t> PlainLineStarts(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint64_t> starts;
    if (!file.empty())
        starts.push_back(0);
    for (std::size_t i = 0; i < file.size(); ++i)
        if (file[i] == '\n' && i + 1 < file.size())
            starts.push_back(i + 1);
    return starts;
}

std::vector<std::uint64_t> PlainMatches(const std::vector<std::uint8_t>& file, const std::string& pattern,
                                        const std::array<std::uint8_t, 256>* fold) {
    std::vector<std::uint64_t> at;
    const std::size_t m = pattern.size();
    for (std::size_t i = 0; m > 0 && i + m <= file.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; same && j < m; ++j) {
            const std::uint8_t a = file[i + j], b = static_cast<std::uint8_t>(pattern[j]);
            same = fold ? (*fold)[a] == (*fold)[b] : a == b;
        }
        if (same)
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
    std::vector<std::uint8_t> file(data + 4 + patternLength, data + size);
    if ((flags & 8) && !file.empty()) {
        const std::size_t one = file.size();
        while (file.size() < 34 * 1024)
            file.insert(file.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(one));
    }

    LineIndexBuilder builder;
    for (std::size_t at = 0; at < file.size(); at += piece)
        builder.Feed(file.data() + at, std::min(piece, file.size() - at));
    builder.Finish();
    const LineIndex& index = builder.Index();

    const std::vector<std::uint64_t> starts = PlainLineStarts(file);
    FUZZ_CHECK(index.LineCount() == starts.size());
    FUZZ_CHECK(index.IndexedBytes == file.size());
    for (std::size_t i = 1; i < index.Checkpoints.size(); ++i) {
        const LineCheckpoint& c = index.Checkpoints[i];
        FUZZ_CHECK(c.Line < starts.size() && starts[c.Line] == c.Offset);
        FUZZ_CHECK(c.Line > index.Checkpoints[i - 1].Line);
    }

    const MemoryFile memory(file.data(), file.size());
    const FileSource source(memory.Path());
    // Line k starts right after the (k-1)th line end; no line past the last.
    // Every line of a small file, around the checkpoints of a large one.
    std::vector<std::uint64_t> lines;
    for (std::uint64_t k = 0; k < starts.size() && k < 16; ++k)
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
    // match and backward from each one's end, across chunk borders.
    if (pattern.empty())
        return 0;
    SearchPattern search{pattern, !(flags & 1), (flags & 2) ? TextEncoding::Utf8 : TextEncoding::Windows1251};
    const auto foldTable = CaseFoldTable(search.Encoding);
    const std::vector<std::uint64_t> matches = PlainMatches(file, pattern, search.MatchCase ? nullptr : &foldTable);
    // Small chunks for small files, where borders are many anyway.
    const std::size_t findChunk = std::max({chunk, pattern.size(), file.size() / 64});
    JobProgress control;
    std::uint64_t from = 0;
    for (std::size_t i = 0; i <= matches.size() && i < 20; ++i) {
        const auto found = FindInFile(source, search, from, false, control, findChunk);
        FUZZ_CHECK(i < matches.size() ? found == matches[i] : !found);
        if (found)
            from = *found + 1;
    }
    std::uint64_t before = file.size() + 1;
    for (std::size_t i = 0; i <= matches.size() && i < 20; ++i) {
        const auto found = FindInFile(source, search, before, true, control, findChunk);
        const std::size_t j = matches.size() - i;  // the match expected, from the end
        FUZZ_CHECK(i < matches.size() ? found == matches[j - 1] : !found);
        if (found)
            before = *found;
    }
    return 0;
}
