#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Charset.h"

// The window's own 8-bit character set: the separator a user types there
// is written to the output as these bytes, whatever the tables.

inline std::optional<char> ToWindows1251(char16_t c) { return ByteOfChar(Charset::Windows1251, c); }

// The whole text in windows-1251; nothing when any character has no byte there.
inline std::optional<std::string> ToWindows1251(std::u16string_view text) {
    return EncodeUtf16(Charset::Windows1251, text);
}

// The character a windows-1251 byte stands for; 0 for the one unassigned byte (0x98).
inline char16_t FromWindows1251(unsigned char byte) { return CharOfByte(Charset::Windows1251, byte); }

inline constexpr unsigned char kUndefinedWindows1251 = 0x98;
