#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class FileSource;

// One line as the text viewer shows it: at most a screenful of its bytes,
// without its line end; a longer line is cut and says so.
struct TextLine {
    std::uint64_t Offset = 0;          // where the line starts
    std::uint64_t Next = 0;            // where the next one starts
    std::vector<std::uint8_t> Bytes;   // without CR LF or LF
    bool Cut = false;                  // more bytes follow before its end
    bool EndUnknown = false;           // its end lies beyond the scan; Next is not known
};

// Up to count lines from offset (a line start). A line longer than
// maxBytes keeps its first maxBytes; its end is still looked for, so that
// the next line starts in the right place, but no further than maxScan
// bytes from the line's start: a line longer than that ends the reading,
// marked EndUnknown. Fewer lines at the end of the file.
std::vector<TextLine> ReadLines(const FileSource& source, std::uint64_t offset, std::size_t count,
                                std::size_t maxBytes, std::uint64_t maxScan = UINT64_MAX);
