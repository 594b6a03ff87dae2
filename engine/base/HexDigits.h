#pragma once

#include <cstdint>

// Bytes in upper-case hex, as every output and view of ours shows them.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The two digits of byte at out[0] and out[1], in any character type.
template <class Char>
inline void PutHex(std::uint8_t byte, Char* out) {
    out[0] = static_cast<Char>(kHexDigits[byte >> 4]);
    out[1] = static_cast<Char>(kHexDigits[byte & 0x0F]);
}

// One of the digits PutHex writes.
inline bool IsHexDigit(std::uint8_t b) { return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F'); }
