// The text viewer's engine side: the sparse line index, built in pieces and
// in the background; reading the lines of a screen; telling UTF-8 from
// windows-1251; and finding a fixed string in a file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "FileSource.h"
#include "LineIndex.h"
#include "LineIndexJob.h"
#include "TextEncoding.h"
#include "TextFindJob.h"
#include "TextLines.h"
#include "TextSearch.h"
#include "TestFiles.h"

namespace {

// Every line start of text, the plain way.
std::vector<std::uint64_t> LineStarts(const std::string& text) {
    std::vector<std::uint64_t> starts;
    if (!text.empty())
        starts.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && i + 1 < text.size())
            starts.push_back(i + 1);
    return starts;
}

// Lines of varying length, some empty, CR LF and LF mixed.
std::string MixedText(std::size_t lines, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += "line " + std::to_string(i);
        text.append(random() % 40, 'x');
        text += random() % 3 == 0 ? "\r\n" : "\n";
    }
    return text;
}

LineIndex IndexInPieces(const std::string& text, std::size_t piece) {
    LineIndexBuilder builder;
    for (std::size_t at = 0; at < text.size(); at += piece)
        builder.Feed(reinterpret_cast<const std::uint8_t*>(text.data()) + at,
                     std::min(piece, text.size() - at));
    builder.Finish();
    return builder.Index();
}

std::string Text(const TextLine& line) { return {line.Bytes.begin(), line.Bytes.end()}; }

}  // namespace

TEST(LineIndex, CountsLineEndsAndALastLineWithoutOne) {
    struct Case {
        std::string text;
        std::uint64_t lines;
    };
    const Case cases[] = {
        {"", 0}, {"\n", 1}, {"a", 1}, {"a\n", 1}, {"a\r\nb", 2}, {"a\nb\n", 2}, {"\n\n\n", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IndexInPieces(c.text, 1).LineCount(), c.lines) << '"' << c.text << '"';
    // While incomplete, bytes after the last LF are not yet a line.
    LineIndexBuilder growing;
    growing.Feed(reinterpret_cast<const std::uint8_t*>("a\nb"), 3);
    EXPECT_EQ(growing.Index().LineCount(), 1u);
}

TEST(LineIndex, CheckpointsAreSparseAndTheSameHoweverTheFileIsCut) {
    TempDir dir;
    const std::string text = MixedText(200000, 1);
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(text));
    FileSource source(path);
    const std::vector<std::uint64_t> starts = LineStarts(text);

    const LineIndex whole = IndexInPieces(text, text.size());
    EXPECT_EQ(whole.LineCount(), starts.size());
    // A few thousand lines each: nowhere near one per line.
    EXPECT_GT(whole.Checkpoints.size(), 10u);
    EXPECT_LT(whole.Checkpoints.size(), starts.size() / 1000);
    for (const LineCheckpoint& c : whole.Checkpoints)
        ASSERT_EQ(starts[c.Line], c.Offset);

    // Cut into pieces that straddle the internal ones in odd places.
    for (std::size_t piece : {1u, 7u, 4093u, 65537u, 1000003u}) {
        const LineIndex cut = IndexInPieces(text, piece);
        ASSERT_EQ(cut.LineCount(), whole.LineCount()) << piece;
        ASSERT_EQ(cut.Checkpoints.size(), whole.Checkpoints.size()) << piece;
        for (std::size_t i = 0; i < cut.Checkpoints.size(); ++i)
            ASSERT_EQ(cut.Checkpoints[i].Offset, whole.Checkpoints[i].Offset) << piece;
    }

    // Any line is found from its checkpoint, and any offset's line too.
    for (std::uint64_t line : {0, 1, 4095, 4096, 4097, 123457, 199999}) {
        ASSERT_EQ(LineStart(source, whole, line), starts[line]) << line;
        EXPECT_EQ(LineOfOffset(source, whole, starts[line]), line);
        EXPECT_EQ(LineOfOffset(source, whole, starts[line] + 3), line);
    }
    EXPECT_FALSE(LineStart(source, whole, starts.size()));
}

TEST(LineIndex, MemoryStaysUnderAMiBPerGiBEvenForEmptyLines) {
    // 64 MiB of nothing but line ends: the worst case for lines per byte.
    LineIndexBuilder builder;
    const std::string chunk(1 << 20, '\n');
    for (int i = 0; i < 64; ++i)
        builder.Feed(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
    builder.Finish();
    EXPECT_EQ(builder.Index().LineCount(), 64u << 20);
    const std::size_t bytes = builder.Index().Checkpoints.size() * sizeof(LineCheckpoint);
    EXPECT_LE(bytes, (1u << 20) / 16);  // 1 MiB per GiB is 64 KiB per 64 MiB

    // Long lines still get a checkpoint at the first line end after each
    // MiB, so finding a line reads little more than a MiB and a line.
    LineIndexBuilder longLines;
    const std::string line = std::string(300000, 'y') + "\n";
    for (int i = 0; i < 20; ++i)
        longLines.Feed(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    const auto& checkpoints = longLines.Index().Checkpoints;
    for (std::size_t i = 1; i < checkpoints.size(); ++i)
        EXPECT_LE(checkpoints[i].Offset - checkpoints[i - 1].Offset, (1u << 20) + line.size() + 65536);
    EXPECT_GE(checkpoints.size(), 5u);

    // A line of 2 MiB: the line after it starts at a checkpoint, found
    // without reading the long line, however the pieces fall.
    const std::string text = "short\n" + std::string(2 << 20, 'L') + "\nafter\n";
    for (std::size_t piece : {1000u, 65536u, 3u << 20}) {
        const LineIndex index = IndexInPieces(text, piece);
        const LineCheckpoint& c = index.AtLine(2);
        EXPECT_EQ(c.Line, 2u) << piece;
        EXPECT_EQ(c.Offset, text.size() - 6) << piece;
    }
}

TEST(LineIndexJob, PublishesGrowingSnapshotsAndEndsComplete) {
    TempDir dir;
    const std::string text = MixedText(300000, 2) + "tail without end";
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(text));
    FileSource source(path);
    // Small chunks, so that there are many snapshots to see.
    LineIndexJob job(source, 64 * 1024 + 3);
    std::uint64_t seen = 0;
    while (!job.Finished()) {
        const auto snapshot = job.Snapshot();
        ASSERT_GE(snapshot->LineCount(), seen);  // never shrinks
        seen = snapshot->LineCount();
        std::this_thread::yield();
    }
    const auto done = job.Snapshot();
    EXPECT_TRUE(done->Complete);
    EXPECT_EQ(job.Percent(), 100);
    EXPECT_EQ(done->LineCount(), 300001u);
    EXPECT_EQ(done->Checkpoints.size(), IndexInPieces(text, 1 << 20).Checkpoints.size());
    const auto last = LineStart(source, *done, 300000);
    ASSERT_TRUE(last);
    EXPECT_EQ(text.substr(*last), "tail without end");
}

TEST(LineIndexJob, StopsWhenCancelledAndWhenDestroyed) {
    TempDir dir;
    const std::string path = dir / "big";
    WriteFile(path, {});
    std::filesystem::resize_file(path, 6ull << 30);  // a hole: all NULs, one line
    FileSource source(path);
    {
        LineIndexJob job(source, 1 << 20);
        while (job.Snapshot()->IndexedBytes == 0)
            std::this_thread::yield();
        job.Cancel();
        while (!job.Finished())
            std::this_thread::yield();
        EXPECT_FALSE(job.Snapshot()->Complete);
        EXPECT_LT(job.Snapshot()->IndexedBytes, 6ull << 30);
    }
    LineIndexJob dropped(source, 1 << 20);  // its destructor stops and joins
}

TEST(ReadLines, EndsCrLfAndLfAndCutsALongLine) {
    TempDir dir;
    const std::string longLine(2 << 20, 'L');
    const std::string text = "one\r\ntwo\n\n" + longLine + "\r\nafter\nlast";
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(text));
    FileSource source(path);
    const auto lines = ReadLines(source, 0, 10, 1000);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(Text(lines[0]), "one");
    EXPECT_EQ(Text(lines[1]), "two");
    EXPECT_EQ(Text(lines[2]), "");
    EXPECT_EQ(lines[3].Bytes.size(), 1000u);
    EXPECT_TRUE(lines[3].Cut);
    EXPECT_FALSE(lines[4].Cut);
    EXPECT_EQ(Text(lines[4]), "after");
    EXPECT_EQ(Text(lines[5]), "last");
    EXPECT_EQ(lines[5].Next, text.size());
    EXPECT_EQ(ReadLines(source, lines[4].Offset, 10, 1000).size(), 2u);
    EXPECT_TRUE(ReadLines(source, text.size(), 10, 1000).empty());

    // With a bound on the scan the long line ends the reading, its end unknown.
    const auto bounded = ReadLines(source, 0, 10, 1000, 1 << 20);
    ASSERT_EQ(bounded.size(), 4u);
    EXPECT_TRUE(bounded[3].EndUnknown);
    EXPECT_TRUE(bounded[3].Cut);
    EXPECT_FALSE(bounded[2].EndUnknown);
    const LineIndex index = IndexInPieces(text, 1 << 16);
    EXPECT_EQ(LineStart(source, index, 4, 1 << 20), lines[4].Offset);
    EXPECT_EQ(LineStart(source, IndexInPieces("", 1), 4, 1 << 20), std::nullopt);
}

TEST(TextEncoding, TellsUtf8FromWindows1251) {
    const auto detect = [](const std::string& s, bool complete = true) {
        return DetectTextEncoding(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), complete);
    };
    EXPECT_EQ(detect("plain ASCII\r\n"), Charset::Utf8);
    EXPECT_EQ(detect("Версия 1.0.1\n"), Charset::Utf8);
    EXPECT_EQ(detect("\xC2\xE5\xF0\xF1\xE8\xFF\n"), Charset::Windows1251);  // "Версия"
    EXPECT_EQ(detect(std::string(100, 'a') + "\xEF\xF0\xE8"), Charset::Windows1251);
    EXPECT_EQ(detect("\xE0\x80\xAF"), Charset::Windows1251);  // overlong
    EXPECT_EQ(detect("\xED\xA0\x80"), Charset::Windows1251);  // a surrogate
    // A sample cut inside a character is still UTF-8; the whole file is not.
    EXPECT_EQ(detect("ok \xD0", false), Charset::Utf8);
    EXPECT_EQ(detect("ok \xD0", true), Charset::Windows1251);

    const std::string cp1251 = "\xC0\xE1\xE2\x09x";
    EXPECT_EQ(DecodeText(reinterpret_cast<const std::uint8_t*>(cp1251.data()), cp1251.size(),
                         Charset::Windows1251),
              u"Абв     x");
    const std::string utf8 = "Ж\x01\xFF";
    EXPECT_EQ(DecodeText(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size(), Charset::Utf8),
              u"Ж.\uFFFD");
    std::string bytes;
    ASSERT_TRUE(EncodeText(u"Вызов", Charset::Windows1251, bytes));
    EXPECT_EQ(bytes, "\xC2\xFB\xE7\xEE\xE2");
    ASSERT_TRUE(EncodeText(u"Вызов", Charset::Utf8, bytes));
    EXPECT_EQ(bytes, "Вызов");
    EXPECT_FALSE(EncodeText(u"\u4E2D", Charset::Windows1251, bytes));
}

TEST(TextEncoding, ReadsAsTextWithoutNulsAndWithLineEnds) {
    const auto reads = [](const std::string& s) {
        return ReadsAsText(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    EXPECT_TRUE(reads("a*b*c\r\n"));
    EXPECT_TRUE(reads("\xC2\xFB\xE7\xEE\xE2\n"));
    EXPECT_FALSE(reads("no line end at all"));
    EXPECT_FALSE(reads(std::string("a\n\0b", 4)));
    EXPECT_FALSE(reads(""));
    // Only the first 64 KiB count: a NUL after them does not matter, and
    // neither does a line end.
    std::string late(kTextSniffBytes, 'x');
    late[10] = '\n';
    EXPECT_TRUE(reads(late + std::string(1, '\0')));
    EXPECT_FALSE(reads(std::string(kTextSniffBytes, 'x') + "\n"));
}

TEST(FindBytes, AgreesWithAPlainSearchAtEveryPosition) {
    std::mt19937 random(3);
    std::string hay(3000, 'a');
    for (char& c : hay)
        c = "abc"[random() % 3];
    for (std::size_t m : {1u, 2u, 3u, 5u, 17u}) {
        for (std::size_t start = 0; start + m <= hay.size(); start += 97) {
            const std::string needle = hay.substr(start, m);
            const auto* h = reinterpret_cast<const std::uint8_t*>(hay.data());
            const auto* found = FindBytes(h, hay.size(), reinterpret_cast<const std::uint8_t*>(needle.data()), m);
            ASSERT_EQ(static_cast<std::size_t>(found - h), hay.find(needle)) << m << " " << start;
        }
    }
    // Folded: the same search over a haystack of mixed case, Cyrillic too.
    const auto fold = CaseFoldTable(Charset::Windows1251);
    std::string mixed(3000, 'a');
    for (char& c : mixed)
        c = "aAbB\xE0\xC0"[random() % 6];  // a A b B а А
    std::string lowered = mixed;
    for (char& c : lowered)
        c = static_cast<char>(fold[static_cast<std::uint8_t>(c)]);
    for (std::size_t m : {1u, 2u, 3u, 6u}) {
        for (std::size_t start = 0; start + m <= lowered.size(); start += 89) {
            const std::string needle = lowered.substr(start, m);
            const auto* h = reinterpret_cast<const std::uint8_t*>(mixed.data());
            const auto* found =
                FindBytes(h, mixed.size(), reinterpret_cast<const std::uint8_t*>(needle.data()), m, &fold);
            ASSERT_EQ(static_cast<std::size_t>(found - h), lowered.find(needle)) << m << " " << start;
        }
    }

    // The match in the very last position, and none at all.
    const std::string tail = std::string(40, 'z') + "END";
    const auto* t = reinterpret_cast<const std::uint8_t*>(tail.data());
    EXPECT_EQ(FindBytes(t, tail.size(), reinterpret_cast<const std::uint8_t*>("END"), 3), t + 40);
    EXPECT_EQ(FindBytes(t, tail.size(), reinterpret_cast<const std::uint8_t*>("ENX"), 3), t + tail.size());
}

TEST(FindInFile, FindsAcrossChunkBordersForwardAndBackwardWithCaseSwitch) {
    TempDir dir;
    // "Needle" straddles the border of every 64-byte chunk it can.
    std::string text(1000, '.');
    const std::vector<std::size_t> at{0, 61, 125, 190, 500, 994};
    for (std::size_t a : at)
        text.replace(a, 6, a == 500 ? "NEEDLE" : "Needle");
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(text));
    FileSource source(path);
    JobProgress control;
    const auto find = [&](const char* what, bool matchCase, std::uint64_t from, bool backward) {
        return FindInFile(source, {what, matchCase, Charset::Windows1251}, from, backward, control, 64);
    };
    // Forward from each match finds the next, across the borders.
    std::vector<std::uint64_t> forward;
    for (auto hit = find("needle", false, 0, false); hit; hit = find("needle", false, *hit + 1, false))
        forward.push_back(*hit);
    EXPECT_EQ(forward, (std::vector<std::uint64_t>(at.begin(), at.end())));
    std::vector<std::uint64_t> backward;
    for (auto hit = find("needle", false, text.size(), true); hit; hit = find("needle", false, *hit, true))
        backward.push_back(*hit);
    EXPECT_EQ(backward, (std::vector<std::uint64_t>(at.rbegin(), at.rend())));
    // With case: only the exact spelling.
    EXPECT_EQ(find("NEEDLE", true, 0, false), 500u);
    EXPECT_EQ(find("NEEDLE", true, 501, false), std::nullopt);
    EXPECT_EQ(find("Needle", true, 500, true), 190u);
    // A match may end after from when looking back.
    EXPECT_EQ(find("Needle", true, 995, true), 994u);
    EXPECT_EQ(control.Done.load(), 0u);  // found in the first chunk looked at
}

TEST(FindInFile, FoldsCyrillicInWindows1251AndStopsWhenAsked) {
    TempDir dir;
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(std::string(70000, ' ') + "\xC2\xDB\xC7\xCE\xC2 \xA8"));  // "ВЫЗОВ Ё"
    FileSource source(path);
    JobProgress control;
    EXPECT_EQ(FindInFile(source, {"\xE2\xFB\xE7\xEE\xE2", false, Charset::Windows1251}, 0, false, control,
                         4096),
              70000u);
    EXPECT_EQ(FindInFile(source, {"\xB8", false, Charset::Windows1251}, 0, false, control, 4096), 70006u);
    EXPECT_EQ(FindInFile(source, {"\xE2\xFB\xE7\xEE\xE2", true, Charset::Windows1251}, 0, false, control,
                         4096),
              std::nullopt);
    control.Stop = true;
    EXPECT_EQ(FindInFile(source, {"\xC2", true, Charset::Windows1251}, 0, false, control, 4096),
              std::nullopt);
}

TEST(TextFindJob, GivesTheMatchAndItsLine) {
    TempDir dir;
    const std::string text = MixedText(50000, 4) + "the word\n";
    const std::string path = dir / "text";
    WriteFile(path, ToBytes(text));
    FileSource source(path);
    LineIndexJob index(source);
    while (!index.Finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    TextFindJob job(source, {"WORD", false, Charset::Utf8}, 0, false, index.Snapshot());
    while (!job.Finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(job.Result());
    EXPECT_EQ(job.Result()->Offset, text.size() - 5);
    EXPECT_EQ(job.Result()->Line, 50000u);
}
