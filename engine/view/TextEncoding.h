#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Charset.h"

// The text viewer reads UTF-8 (info.txt) or the 8-bit set of the tables
// (MAVIK's own text outputs): UTF-8 when bytes are valid UTF-8, else
// eightBit. A sequence cut off at the end of the sample counts as valid
// unless the sample is the whole file (complete).
Charset DetectTextEncoding(const std::uint8_t* bytes, std::size_t n, bool complete,
                           Charset eightBit = Charset::Windows1251);

// The characters of bytes; invalid UTF-8 shows as U+FFFD, a control byte
// other than TAB as '.', TAB as blanks to the next multiple of 8.
// A byte the 8-bit set leaves undefined, or a C1 control of ISO-8859-1, as '.'.
std::u16string DecodeText(const std::uint8_t* bytes, std::size_t n, Charset encoding);

// How much of a file's start tells text from other bytes.
inline constexpr std::size_t kTextSniffBytes = 64 * 1024;

// Whether a file starting with bytes reads as text: no NUL byte in them
// and at least one line end. Only the first kTextSniffBytes are looked at.
bool ReadsAsText(const std::uint8_t* bytes, std::size_t n);

// What a user typed, as the file's bytes; false when the 8-bit set has no
// byte for one of its characters.
bool EncodeText(std::u16string_view text, Charset encoding, std::string& out);
