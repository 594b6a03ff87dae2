#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "GuessInputType.h"
#include "SelectionSamples.h"

namespace {

std::optional<BlockCode> Guess(const Bytes& bytes) { return GuessInputType(bytes.data(), bytes.size()); }

// Every record byte of every block, header and field 13 left alone.
void FillRecords(Bytes& blocks, std::uint8_t value) {
    for (std::size_t b = 0; b + kBlockSize <= blocks.size(); b += kBlockSize)
        std::fill(blocks.begin() + static_cast<std::ptrdiff_t>(b + kHeaderSize),
                  blocks.begin() + static_cast<std::ptrdiff_t>(b + kBlockSize), value);
}

}  // namespace

TEST(GuessInputType, DigitsOfOneKindMustDominate) {
    const Bytes ascii = VariedBlocks(2);
    EXPECT_EQ(Guess(ascii), BlockCode::Ascii);
    const Bytes ebcdic = ToXorEbcdic(ascii);
    EXPECT_EQ(Guess(ebcdic), BlockCode::Ebcdic);

    // Half of each kind, or one kind only five times the other: no guess.
    Bytes mixed(kBlockSize, 0x31);
    std::fill(mixed.begin(), mixed.begin() + kBlockSize / 2, 0xF1);
    EXPECT_EQ(Guess(mixed), std::nullopt);
    Bytes fiveToOne(kBlockSize, 0x31);
    std::fill(fiveToOne.begin() + kBlockSize * 5 / 6, fiveToOne.end(), 0xF1);
    EXPECT_EQ(Guess(fiveToOne), std::nullopt);

    // A few digits among blanks are no call records, in either code.
    for (const auto& [blank, digit, code] : {std::tuple{0x40, 0xF5, BlockCode::Ebcdic}, {0x20, 0x35, BlockCode::Ascii}}) {
        Bytes blanks(kBlockSize, static_cast<std::uint8_t>(blank));
        std::fill(blanks.begin() + kHeaderSize, blanks.begin() + kHeaderSize + 100, static_cast<std::uint8_t>(digit));
        EXPECT_EQ(Guess(blanks), std::nullopt);
        std::fill(blanks.begin() + kHeaderSize, blanks.begin() + kHeaderSize + 400, static_cast<std::uint8_t>(digit));
        EXPECT_EQ(Guess(blanks), code);
    }
}

TEST(GuessInputType, OnlyTheCharacterFieldsOfWholeBlocksCount) {
    // Zero bytes (a sparse or padded file) do not dilute the digits.
    Bytes padded = ToXorEbcdic(VariedBlocks(1));
    padded.resize(kGuessedBlocks * kBlockSize, 0);
    EXPECT_EQ(Guess(padded), BlockCode::Ebcdic);
    EXPECT_EQ(Guess(Bytes(kBlockSize, 0)), std::nullopt);

    // Less than a block: nothing to go by.
    const Bytes ascii = VariedBlocks(1);
    EXPECT_EQ(GuessInputType(ascii.data(), kBlockSize - 1), std::nullopt);

    // ASCII digits in the headers and in the binary field 13 of records
    // with two EBCDIC digits each: either would outnumber those a tenth.
    Bytes blocks = VariedBlocks(2);
    FillRecords(blocks, 0);
    for (std::size_t b = 0; b < blocks.size(); b += kBlockSize) {
        std::fill(blocks.begin() + static_cast<std::ptrdiff_t>(b), blocks.begin() + static_cast<std::ptrdiff_t>(b + kHeaderSize), '7');
        for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
            std::uint8_t* record = blocks.data() + b + kHeaderSize + r * kRecordSize;
            std::fill(record, record + 2, 0xF1);
            std::fill(record + kBinaryFieldOffset, record + kBinaryFieldOffset + kBinaryFieldWidth, '9');
        }
    }
    EXPECT_EQ(Guess(blocks), BlockCode::Ebcdic);
}
