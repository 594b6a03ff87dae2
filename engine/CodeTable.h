#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CallRecordBlock.h"

// Entry i is the byte that replaces byte value i.
using CodeTable = std::array<std::uint8_t, 256>;

// Process-wide; all zeros until loaded, written only before any run starts.
extern CodeTable EbcdicToAscii;
extern CodeTable AsciiToEbcdic;

inline constexpr const char* kEbcdicToAsciiFile = "ebcdic-ascii";
inline constexpr const char* kAsciiToEbcdicFile = "ascii-ebcdic";

// Reads up to 256 bytes of the file at path into table from entry 0; the
// entries beyond a short file keep their value. Returns how many were read.
// Throws std::runtime_error "Cannot open file <name>" when it cannot be opened.
std::size_t LoadCodeTable(CodeTable& table, const std::string& path, const std::string& name);

// Where a table file named name lies in folder (the current folder when empty).
std::string CodeTablePath(const std::string& folder, const std::string& name);

// Fills EbcdicToAscii from "ebcdic-ascii", then AsciiToEbcdic from
// "ascii-ebcdic", both in folder (the current folder when empty). Stops at
// the first file that cannot be opened.
void LoadCodeTables(const std::string& folder = {});

// Translates the header and every record byte except field 13, in place.
void RecodeBlock(CallRecordBlock& block, const CodeTable& table);

// The ways this processor can translate bytes through a table, fastest
// first; RecodeBlock uses the first. (An AVX2 nibble-shuffle kernel was
// measured barely faster than the unrolled scalar loop, so there is none.) Each translates n bytes in place, n a
// multiple of 64.
struct TranslateKernel {
    using Fn = void (*)(std::uint8_t* bytes, std::size_t n, const CodeTable& table);
    const char* Name;
    Fn Translate;
};
std::vector<TranslateKernel> TranslateKernels();
