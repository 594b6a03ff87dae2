#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "RecordLayout.h"

// Blocks at the start of a file that a guess looks at.
inline constexpr std::size_t kGuessedBlocks = 64;

// Which code call records are in, told by their digits: EBCDIC digits are
// 0xF0-0xF9, ASCII digits 0x30-0x39, and call records are mostly digits
// and the F that pads them (0xC6, 0x46), which are counted with them.
// Only the character fields of the records of whole blocks are looked at:
// not the headers, not the binary field 13, not zero bytes (unwritten or
// padded space). Nothing unless one kind makes up an eighth of those bytes
// and is at least ten times as frequent as the other. Both the converter's
// warning about its input type and the record browser's recognition of a
// block file go by this one guess.
std::optional<BlockCode> GuessInputType(const std::uint8_t* bytes, std::size_t size);

// The same over the first kGuessedBlocks blocks of a regular file; nothing
// when it cannot be read. Never throws: a guess is only ever a warning.
std::optional<BlockCode> GuessInputTypeOfFile(const std::string& path);
