#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

enum class InputCode { Ebcdic, Ascii };

// Which code the character fields of whole blocks are in, told by their
// digits: EBCDIC digits are 0xF0-0xF9, ASCII digits 0x30-0x39, and call
// records are mostly digits. Field 13, being binary, is not looked at.
// Nothing when there is no whole block or the digits do not clearly agree
// (one kind at least ten times the other).
std::optional<InputCode> GuessInputType(const std::uint8_t* bytes, std::size_t size);

// The same over the first blocks of a file (up to 8); nothing when it cannot
// be read. Never throws: a guess is only ever a warning.
std::optional<InputCode> GuessInputTypeOfFile(const std::string& path);
