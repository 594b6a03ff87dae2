#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The fixed unit of an S12 call-record file: an 8-byte header followed by
// 34 call records of 60 bytes, 2048 bytes in all.
inline constexpr std::size_t kBlockSize = 2048;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kRecordSize = 60;
inline constexpr std::size_t kRecordsPerBlock = 34;

// Field 13 is four binary bytes that no code table may touch.
inline constexpr std::size_t kBinaryFieldOffset = 55;
inline constexpr std::size_t kBinaryFieldWidth = 4;

struct BlockHeader {
    std::uint8_t Bytes[kHeaderSize];
};

// One call record, cut by position into fields 1 to 14.
struct CallRecord {
    std::uint8_t Bytes[kRecordSize];
};

// Where a field's bytes lie within one record's bytes (the 60 record bytes
// of a block file, or a text line).
struct FieldPlace {
    std::size_t Offset;
    std::size_t Width;
};

// Fields 1 to 14 at index 0 to 13: widths 1,3,8,15,4,6,6,6,2,2,1,1,4,1.
inline constexpr std::array<FieldPlace, 14> kCallRecordFields{{
    {0, 1}, {1, 3}, {4, 8}, {12, 15}, {27, 4}, {31, 6}, {37, 6},
    {43, 6}, {49, 2}, {51, 2}, {53, 1}, {54, 1}, {55, 4}, {59, 1},
}};

struct CallRecordBlock {
    BlockHeader Header;
    CallRecord Records[kRecordsPerBlock];
};

static_assert(sizeof(CallRecord) == kRecordSize);
static_assert(sizeof(CallRecordBlock) == kBlockSize);
