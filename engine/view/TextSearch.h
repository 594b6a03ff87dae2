#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "Job.h"
#include "TextEncoding.h"

class FileSource;

// A fixed string to look for in a file's bytes.
struct SearchPattern {
    std::string Bytes;        // in the file's encoding
    bool MatchCase = true;
    // Letters folded when case does not matter: ASCII always, Cyrillic in
    // windows-1251 (in UTF-8 only ASCII letters fold).
    Charset Encoding = Charset::Windows1251;
};

// The byte each byte folds to when case does not matter.
std::array<std::uint8_t, 256> CaseFoldTable(Charset encoding);

// The first match starting at or after from (forward), or the last one
// starting before from (backward). The file is read in chunks that overlap
// by the pattern's length, so matches across chunk borders are found.
// Counts bytes into control.Done; gives up with nothing when control says stop.
std::optional<std::uint64_t> FindInFile(const FileSource& source, const SearchPattern& pattern,
                                        std::uint64_t from, bool backward,
                                        JobProgress& control,
                                        std::size_t chunk = 256 * 1024);

// The first occurrence of needle in haystack, or haystack + n: SSE2 tests of
// the first and last byte, then a compare; about memory speed. With a fold
// table, bytes compare after folding (needle already folded).
const std::uint8_t* FindBytes(const std::uint8_t* haystack, std::size_t n,
                              const std::uint8_t* needle, std::size_t m,
                              const std::array<std::uint8_t, 256>* fold = nullptr);
