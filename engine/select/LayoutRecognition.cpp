#include "LayoutRecognition.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "CallRecordBlock.h"
#include "GuessInputType.h"
#include "HexDigits.h"

namespace {

// Separators longer than this are not looked for.
constexpr std::size_t kMaxSeparator = 1024;
// Lines checked at the start of a text file, besides its last line.
constexpr std::uint64_t kLinesChecked = 4096;
constexpr std::uint64_t kCheckedBytes = 1 << 20;
// Bytes of a block file whose digits decide its code.
constexpr std::size_t kSampledBlockBytes = kGuessedBlocks * kBlockSize;

std::vector<std::uint8_t> ReadAt(const FileSource& source, std::uint64_t offset, std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    // A failed read is no short file: it would be reported as a misfit.
    bytes.resize(source.ReadOrThrow(offset, bytes.data(), n));
    return bytes;
}

std::string LineAt(std::uint64_t line, std::uint64_t length) {
    return "line " + std::to_string(line + 1) + " (offset " + std::to_string(line * length) + ")";
}

}  // namespace

bool LineFits(const RecordLayout& layout, const std::uint8_t* line) {
    const std::size_t length = layout.LineLength();
    if (line[length - 2] != '\r' || line[length - 1] != '\n')
        return false;
    const std::string& sep = layout.Separator;
    for (int f = 1; f < kFieldCount; ++f) {
        const FieldPlace place = layout.Field(f);
        const std::uint8_t* at = line + place.Offset + place.Width;
        for (std::size_t i = 0; i < sep.size(); ++i)
            if (at[i] != static_cast<std::uint8_t>(sep[i]))
                return false;
    }
    if (layout.Kind != LayoutKind::Formatted)
        return true;
    const std::size_t date = layout.Field(5).Offset;
    const std::size_t start = layout.Field(6).Offset;
    const std::size_t duration = layout.Field(7).Offset;
    const std::size_t hex = layout.Field(13).Offset;
    if (line[date + 2] != '/' || line[start + 2] != ':' || line[start + 5] != ':' ||
        line[duration + 2] != ':' || line[duration + 5] != ':' || line[hex + 4] != 'H' || line[hex + 9] != 'H')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 7, 8})
        if (!IsHexDigit(line[hex + i]))
            return false;
    return true;
}

namespace {

// The text layouts whose first line fits, shortest line first.
std::vector<RecordLayout> FirstLineCandidates(const std::vector<std::uint8_t>& head) {
    std::vector<RecordLayout> candidates;
    for (std::size_t s = 1; s <= kMaxSeparator; ++s) {
        for (LayoutKind kind : {LayoutKind::Raw, LayoutKind::Formatted}) {
            const std::size_t length = TextLineLength(kind, s);
            if (length > head.size())
                continue;
            const std::string separator(head.begin() + 1, head.begin() + 1 + static_cast<std::ptrdiff_t>(s));
            RecordLayout layout = kind == LayoutKind::Formatted ? RecordLayout::Formatted(separator)
                                                                : RecordLayout::Raw(separator);
            if (LineFits(layout, head.data()))
                candidates.push_back(std::move(layout));
        }
    }
    return candidates;
}

// The first line that does not fit, among the first lines and the last one;
// size when all of them fit (and the size is whole lines).
std::uint64_t FirstMisfit(const FileSource& source, std::uint64_t size, const RecordLayout& layout) {
    const std::uint64_t length = layout.LineLength();
    const std::uint64_t lines = size / length;
    const std::uint64_t checked = std::min({lines, kLinesChecked, std::max<std::uint64_t>(1, kCheckedBytes / length)});
    const std::vector<std::uint8_t> first = ReadAt(source, 0, static_cast<std::size_t>(checked * length));
    for (std::uint64_t i = 0; i < checked; ++i)
        if (i * length + length > first.size() || !LineFits(layout, first.data() + i * length))
            return i;
    if (lines > checked) {
        const std::vector<std::uint8_t> last = ReadAt(source, (lines - 1) * length, static_cast<std::size_t>(length));
        if (last.size() < length || !LineFits(layout, last.data()))
            return lines - 1;
    }
    return size % length == 0 ? size : lines;
}

}  // namespace

RecordLayout RecogniseLayout(const FileSource& source, std::uint64_t size, std::optional<BlockCode> blockCode) {
    const std::size_t headSize = TextLineLength(LayoutKind::Formatted, kMaxSeparator);
    const std::vector<std::uint8_t> head = ReadAt(source, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, headSize)));

    const std::vector<RecordLayout> candidates = FirstLineCandidates(head);
    if (!candidates.empty()) {
        // The candidate that fits furthest; a tie goes to the shorter line.
        const RecordLayout* best = nullptr;
        std::uint64_t bestMisfit = 0;
        for (const RecordLayout& layout : candidates) {
            const std::uint64_t misfit = FirstMisfit(source, size, layout);
            if (misfit == size)
                return layout;
            if (!best || misfit > bestMisfit) {
                best = &layout;
                bestMisfit = misfit;
            }
        }
        const std::uint64_t length = best->LineLength();
        if (bestMisfit == size / length)
            throw LayoutError(LineAt(bestMisfit, length) + " is cut short: " + std::to_string(size % length) +
                              " of " + std::to_string(length) + " bytes (" + best->Describe() + ")");
        throw LayoutError(LineAt(bestMisfit, length) + " does not fit the layout of line 1 (" +
                          best->Describe() + ")");
    }

    // Formatted lines with nothing between the fields follow a block's 8
    // header bytes, and records beginning with F leave no line: nothing says
    // where a block ends.
    const RecordLayout joined = RecordLayout::Formatted("");
    if (head.size() >= kHeaderSize + joined.LineLength() && LineFits(joined, head.data() + kHeaderSize))
        throw LayoutError("formatted lines without a separator cannot be split back into records; "
                          "convert to raw field lines or with a separator instead");

    if (size < kBlockSize)
        throw LayoutError("offset 0: the file holds " + std::to_string(size) +
                          " bytes, less than one 2048-byte block, and line 1 fits no text layout");
    if (blockCode)
        return RecordLayout::Block(*blockCode);
    const std::vector<std::uint8_t> sample = ReadAt(source, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, kSampledBlockBytes)));
    if (const auto code = GuessInputType(sample.data(), sample.size()))
        return RecordLayout::Block(*code);
    throw LayoutError("offset 0: neither a text output (line 1 fits no text layout) nor call records "
                      "(neither EBCDIC nor ASCII digits make up the records of the first " +
                      std::to_string(sample.size()) + " bytes)");
}

bool LayoutFits(const FileSource& source, std::uint64_t size, const RecordLayout& layout) {
    if (!layout.IsText())
        return true;
    const std::uint64_t length = layout.LineLength();
    if (size == 0 || size % length != 0)
        return false;
    for (std::uint64_t at : {std::uint64_t{0}, size - length}) {
        const std::vector<std::uint8_t> line = ReadAt(source, at, static_cast<std::size_t>(length));
        if (line.size() < length || !LineFits(layout, line.data()))
            return false;
    }
    return true;
}
