#include <gtest/gtest.h>

#include <filesystem>

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

#include "IOError.h"
#include "LayoutRecognition.h"
#include "SelectionSamples.h"
#include "SelectionScan.h"

namespace {

SelectionIndex Select(const RecordFile& file, const std::string& conditions, const CodeTable* table = nullptr) {
    const RecordPredicate predicate(ParseConditions(conditions), file.Layout(), table);
    JobProgress progress;
    auto index = SelectRecords(file, predicate, progress);
    EXPECT_TRUE(index.has_value());
    EXPECT_EQ(progress.Done.load(), file.RecordCount());
    EXPECT_EQ(progress.Found.load(), index->Count());
    return *index;
}

std::vector<std::uint64_t> Matches(const SelectionIndex& index) {
    std::vector<std::uint64_t> records;
    for (std::uint64_t k = 0; k < index.Count(); ++k)
        records.push_back(index.Select(k));
    return records;
}

}  // namespace

TEST(SelectionIndex, SelectAndRankAgreeWithTheBits) {
    std::mt19937_64 random(7);
    for (double density : {0.0, 0.001, 0.3, 1.0}) {
        const std::uint64_t records = 20000 + random() % 64;
        SelectionIndex index(records);
        std::vector<std::uint64_t> expected;
        std::bernoulli_distribution keep(density);
        for (std::uint64_t r = 0; r < records; ++r)
            if (keep(random)) {
                index.Set(r);
                expected.push_back(r);
            }
        index.Finish();
        ASSERT_EQ(index.Count(), expected.size());
        EXPECT_EQ(Matches(index), expected) << density;
        for (std::uint64_t k = 0; k < expected.size(); k += 97) {
            EXPECT_EQ(index.Rank(expected[k]), k);
            EXPECT_TRUE(index.Contains(expected[k]));
        }
        EXPECT_EQ(index.Rank(records), expected.size());
    }
}

TEST(SelectionScan, SameMatchesInEveryLayoutOfTheSameRecords) {
    // 40 blocks: more than one read chunk of lines for the longer layouts.
    const Bytes blocks = VariedBlocks(40);
    TempDir dir;
    WriteFile(dir / "ascii", blocks);
    WriteFile(dir / "ebcdic", ToXorEbcdic(blocks));
    WriteFile(dir / "raw", ToBytes(Converted(blocks, false, "\t")));
    const CodeTable table = XorTable();

    RecordFile ascii(dir / "ascii");
    RecordFile ebcdic(dir / "ebcdic");
    RecordFile raw(dir / "raw");
    ASSERT_EQ(ebcdic.Layout().Code, BlockCode::Ebcdic);
    ASSERT_EQ(raw.Layout().Kind, LayoutKind::Raw);

    // Field 4 holds the record number; field 1 is F for every 7th.
    const std::string conditions = "4>=000000000000100;4<000000000001000;1!=F;5^=0";
    std::vector<std::uint64_t> expected;
    for (std::uint64_t n = 100; n < 1000 && n < 40 * kRecordsPerBlock; ++n)
        if (n % 7 != 0 && 1 + n % 12 < 10)
            expected.push_back(n);
    EXPECT_EQ(Matches(Select(ascii, conditions)), expected);
    EXPECT_EQ(Matches(Select(ebcdic, conditions, &table)), expected);
    EXPECT_EQ(Matches(Select(raw, conditions)), expected);

    // Field 13 in hex on blocks: its first byte is the record number.
    EXPECT_EQ(Matches(Select(ebcdic, "13=050D0A2A", &table)), (std::vector<std::uint64_t>{5, 261, 517, 773, 1029, 1285}));
}

TEST(SelectionScan, TextLineThatLostItsShapeStopsTheScan) {
    const Bytes blocks = VariedBlocks(5);
    std::string text = Converted(blocks, false, "*");
    TempDir dir;
    WriteFile(dir / "raw", ToBytes(text));
    RecordFile file(dir / "raw");
    // The file changes after it was recognised: line 100 loses its CR.
    text[100 * 75 - 2] = 'x';
    WriteFile(dir / "raw", ToBytes(text));
    const RecordPredicate predicate({}, file.Layout(), nullptr);
    JobProgress progress;
    try {
        SelectRecords(file, predicate, progress);
        ADD_FAILURE() << "scanned a changed file";
    } catch (const LayoutError& e) {
        EXPECT_NE(std::string(e.what()).find("line 100 "), std::string::npos) << e.what();
    }
}

TEST(SelectionScan, AFailedReadOrAShorterFileFailsTheScan) {
    // More than one read chunk, so that the scan has begun before it fails.
    const Bytes blocks = VariedBlocks(1000);
    const Bytes lines = ToBytes(Converted(blocks, false, "*"));
    TempDir dir;
    for (const std::string name : {"ascii", "raw"}) {
        const Bytes& contents = name == "ascii" ? blocks : lines;
        WriteFile(dir / name, contents);
        const RecordPredicate predicate(ParseConditions("1!=F"), RecordFile(dir / name).Layout(), nullptr);
        {
            // The file loses its second half: no scan of the first half passes for the whole.
            auto file = std::make_shared<RecordFile>(dir / name);
            std::filesystem::resize_file(dir / name, file->Size() / 2);
            JobProgress progress;
            try {
                SelectRecords(*file, predicate, progress);
                ADD_FAILURE() << name << ": scanned a file that lost half of it";
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find(dir / name), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find("ends at byte " + std::to_string(file->Size() / 2)),
                          std::string::npos) << e.what();
            }
            const auto job = StartSelection(file, ParseConditions("1!=F"), nullptr);
            while (!job->Finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EXPECT_FALSE(job->Result());
            EXPECT_NE(job->Error().find("ends at byte"), std::string::npos) << job->Error();
        }
        WriteFile(dir / name, contents);
        auto file = std::make_shared<RecordFile>(dir / name);
        if (!BreakReads(dir / name))
            GTEST_SKIP() << "no way here to make reads fail";
        JobProgress progress;
        try {
            SelectRecords(*file, predicate, progress);
            ADD_FAILURE() << name << ": a failed read passed for the end of the file";
        } catch (const IOError& e) {
            EXPECT_EQ(e.FileName(), dir / name);
            EXPECT_EQ(e.Code(), EBADF);
        }
        const auto job = StartSelection(file, ParseConditions("1!=F"), nullptr);
        while (!job->Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(job->Result());
        EXPECT_EQ(job->Error(), dir / name + ": I/O error " + std::to_string(EBADF));
    }
}

TEST(SelectionJob, RunsToTheEndOnItsThreadOrStopsWhenCancelled) {
    TempDir dir;
    WriteFile(dir / "blocks", VariedBlocks(10));
    auto file = std::make_shared<RecordFile>(dir / "blocks");
    {
        const auto job = StartSelection(file, ParseConditions("1=F"), nullptr);
        while (!job->Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(job->Error().empty());
        auto& index = job->Result();
        ASSERT_TRUE(index);
        EXPECT_EQ(index->Count(), (340u + 6) / 7);
        EXPECT_EQ(job->Progress().Found, index->Count());
        EXPECT_EQ(job->Progress().Done, 340u);
        EXPECT_EQ(job->Percent(), 100);
    }
    {
        // A sparse file large enough that the scan is still going when cancelled.
        std::filesystem::resize_file(dir / "blocks", std::uintmax_t{4} << 30);
        auto large = std::make_shared<RecordFile>(dir / "blocks", RecordLayout::Block(BlockCode::Ascii));
        const auto job = StartSelection(large, ParseConditions("4=x"), nullptr);
        while (job->Progress().Done == 0)
            std::this_thread::yield();
        job->Cancel();
        while (!job->Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_LT(job->Progress().Done, large->RecordCount());
        EXPECT_FALSE(job->Result());
        EXPECT_TRUE(job->Error().empty());
    }
}
