#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "CodeTable.h"
#include "TestFiles.h"

namespace {

// Every byte value shifted by one, so that any byte the recoding touches shows.
CodeTable PlusOne() {
    CodeTable t;
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<std::uint8_t>(i + 1);
    return t;
}

class CurrentDir {
public:
    explicit CurrentDir(const std::filesystem::path& to) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(to);
    }
    ~CurrentDir() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

Bytes Identity(std::size_t n) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), 0);
    return b;
}

}  // namespace

TEST(RecodeBlock, TranslatesEveryByteButFieldThirteen) {
    CallRecordBlock block;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&block);
    for (std::size_t i = 0; i < kBlockSize; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes before = BlockBytes(block);
    RecodeBlock(block, PlusOne());
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        const bool inField13 = i >= kHeaderSize && (i - kHeaderSize) % kRecordSize >= 55 &&
                               (i - kHeaderSize) % kRecordSize <= 58;
        const std::uint8_t expected = inField13 ? before[i] : static_cast<std::uint8_t>(before[i] + 1);
        ASSERT_EQ(bytes[i], expected) << "block byte " << i;
    }
}

TEST(RecodeBlock, RoundTripThroughInverseTablesRestoresTheBlock) {
    CodeTable forward = PlusOne(), back;
    for (int i = 0; i < 256; ++i)
        back[forward[i]] = static_cast<std::uint8_t>(i);
    CallRecordBlock block = ExampleBlock();
    const Bytes original = BlockBytes(block);
    RecodeBlock(block, forward);
    EXPECT_NE(BlockBytes(block), original);
    RecodeBlock(block, back);
    EXPECT_EQ(BlockBytes(block), original);
}

class LoadCodeTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        EbcdicToAscii.fill(0);
        AsciiToEbcdic.fill(0);
    }
    void TearDown() override { SetUp(); }
    TempDir dir;
};

TEST_F(LoadCodeTablesTest, LoadsBothFromTheCurrentFolder) {
    Bytes reversed = Identity(256);
    std::reverse(reversed.begin(), reversed.end());
    WriteFile(dir / "ebcdic-ascii", Identity(256));
    WriteFile(dir / "ascii-ebcdic", reversed);
    CurrentDir cd(dir.Path());
    LoadCodeTables();
    EXPECT_EQ(Bytes(EbcdicToAscii.begin(), EbcdicToAscii.end()), Identity(256));
    EXPECT_EQ(Bytes(AsciiToEbcdic.begin(), AsciiToEbcdic.end()), reversed);
}

TEST_F(LoadCodeTablesTest, ShortFileLeavesTheRestZeroAndLongFileIsCut) {
    WriteFile(dir / "ebcdic-ascii", Bytes(100, 0x41));
    WriteFile(dir / "ascii-ebcdic", Bytes(300, 0x42));
    EXPECT_EQ(LoadCodeTable(EbcdicToAscii, dir / "ebcdic-ascii", "ebcdic-ascii"), 100u);
    EXPECT_EQ(EbcdicToAscii[99], 0x41);
    EXPECT_EQ(EbcdicToAscii[100], 0);
    EXPECT_EQ(EbcdicToAscii[255], 0);
    LoadCodeTables(dir.Path().string());
    EXPECT_EQ(AsciiToEbcdic[255], 0x42);
}

TEST_F(LoadCodeTablesTest, MissingFirstFileStopsBeforeTheSecond) {
    WriteFile(dir / "ascii-ebcdic", Identity(256));
    try {
        LoadCodeTables(dir.Path().string());
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot open file ebcdic-ascii");
    }
    EXPECT_EQ(AsciiToEbcdic, CodeTable{});
    EXPECT_EQ(EbcdicToAscii, CodeTable{});
}

TEST_F(LoadCodeTablesTest, MissingSecondFileNamesIt) {
    WriteFile(dir / "ebcdic-ascii", Identity(256));
    EXPECT_THROW(
        {
            try {
                LoadCodeTables(dir.Path().string());
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Cannot open file ascii-ebcdic");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(EbcdicToAscii[200], 200);
}

TEST(TranslateKernels, EveryKernelAgreesWithTheTableForEveryByteValue) {
    std::mt19937 random(12345);
    CodeTable table;
    std::iota(table.begin(), table.end(), 0);
    std::shuffle(table.begin(), table.end(), random);
    Bytes input(kBlockSize);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<std::uint8_t>(i < 512 ? i : random());
    const auto kernels = TranslateKernels();
    EXPECT_STREQ(kernels.back().Name, "scalar");
    for (const TranslateKernel& k : kernels) {
        Bytes bytes = input;
        k.Translate(bytes.data(), bytes.size(), table);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(bytes[i], table[input[i]]) << k.Name << " at " << i;
    }
}
