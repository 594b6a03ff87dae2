#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "FileSource.h"
#include "RecordLayout.h"

// A file that fits no layout; the text names the first line or offset that
// does not fit.
class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether line (lineLength bytes) has the shape of the layout: CR LF at its
// end, the layout's separator at all 13 places, and for formatted lines
// the "/", ":" and "H" and the hex digits of field 13 where they belong.
// Only these positions are checked: fields may hold any byte.
bool LineFits(const RecordLayout& layout, const std::uint8_t* line);

// What kind of file the source holds, from its contents: a text output
// by its fixed line length and separator positions (any non-empty
// separator, TAB included), otherwise 2048-byte blocks of EBCDIC or ASCII
// records by their digits (GuessInputType); blockCode, when given, decides
// the latter.
// Throws LayoutError naming the first line or offset that does not fit,
// and for formatted lines without a separator, which cannot be split back
// into records; IOError when a read fails.
RecordLayout RecogniseLayout(const FileSource& source, std::uint64_t size,
                             std::optional<BlockCode> blockCode = std::nullopt);

// Whether a text layout fits the file: whole lines, the first and the last
// of them in that layout's shape. A block layout always fits.
bool LayoutFits(const FileSource& source, std::uint64_t size, const RecordLayout& layout);
