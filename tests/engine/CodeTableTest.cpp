#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>
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

std::string LoadError(const std::function<void()>& load) {
    try {
        load();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

class LoadCodeTablesTest : public ::testing::Test {
protected:
    TempDir dir;
    CodeTables tables;
};

TEST_F(LoadCodeTablesTest, LoadsBothFromTheCurrentFolder) {
    Bytes reversed = Identity(256);
    std::reverse(reversed.begin(), reversed.end());
    WriteFile(dir / "ebcdic-ascii", Identity(256));
    WriteFile(dir / "ascii-ebcdic", reversed);
    CurrentDir cd(dir.Path());
    LoadCodeTables(tables);
    ASSERT_TRUE(tables.EbcdicToAscii && tables.AsciiToEbcdic);
    EXPECT_EQ(Bytes(tables.EbcdicToAscii->begin(), tables.EbcdicToAscii->end()), Identity(256));
    EXPECT_EQ(Bytes(tables.AsciiToEbcdic->begin(), tables.AsciiToEbcdic->end()), reversed);
}

TEST_F(LoadCodeTablesTest, ShortFileLeavesTheRestZeroAndLongFileIsCut) {
    WriteFile(dir / "ebcdic-ascii", Bytes(100, 0x41));
    WriteFile(dir / "ascii-ebcdic", Bytes(300, 0x42));
    EXPECT_EQ(LoadCodeTable(tables, CodeTableKind::EbcdicToAscii, dir.Path()), 100u);
    ASSERT_TRUE(tables.EbcdicToAscii);
    EXPECT_EQ((*tables.EbcdicToAscii)[99], 0x41);
    EXPECT_EQ((*tables.EbcdicToAscii)[100], 0);
    EXPECT_EQ((*tables.EbcdicToAscii)[255], 0);
    EXPECT_FALSE(tables.AsciiToEbcdic);
    LoadCodeTables(tables, dir.Path());
    EXPECT_EQ((*tables.AsciiToEbcdic)[255], 0x42);
}

TEST_F(LoadCodeTablesTest, MissingFirstFileStopsBeforeTheSecond) {
    WriteFile(dir / "ascii-ebcdic", Identity(256));
    EXPECT_EQ(LoadError([&] { LoadCodeTables(tables, dir.Path()); }), "Cannot open file ebcdic-ascii");
    EXPECT_FALSE(tables.EbcdicToAscii);
    EXPECT_FALSE(tables.AsciiToEbcdic);
}

TEST_F(LoadCodeTablesTest, MissingSecondFileNamesIt) {
    WriteFile(dir / "ebcdic-ascii", Identity(256));
    EXPECT_EQ(LoadError([&] { LoadCodeTables(tables, dir.Path()); }), "Cannot open file ascii-ebcdic");
    ASSERT_TRUE(tables.EbcdicToAscii);
    EXPECT_EQ((*tables.EbcdicToAscii)[200], 200);
    EXPECT_FALSE(tables.AsciiToEbcdic);
}

// A file that opens but cannot be read is no short table: taking it as one
// would recode every byte to 0x00 with only a warning.
TEST_F(LoadCodeTablesTest, FailedReadFailsLikeAFileThatCannotBeOpened) {
    std::filesystem::create_directory(dir / "ebcdic-ascii");  // read gives EISDIR
    EXPECT_EQ(LoadError([&] { LoadCodeTables(tables, dir.Path()); }), "Cannot open file ebcdic-ascii");
    EXPECT_FALSE(tables.EbcdicToAscii);

    CodeTable table{};
    // Reading a process's memory at address 0 gives EIO.
    EXPECT_EQ(LoadError([&] { LoadCodeTable(table, "/proc/self/mem", "ascii-ebcdic"); }),
              "Cannot open file ascii-ebcdic");
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
