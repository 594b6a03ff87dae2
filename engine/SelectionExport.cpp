#include "SelectionExport.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "AlignedBuffer.h"
#include "CallRecordBlock.h"
#include "FieldText.h"
#include "FileAccess.h"
#include "IOError.h"
#include "OutputFile.h"
#include "RecordWriters.h"
#include "Windows1251.h"

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;

struct FixedChoice : FormatChoice {
    explicit FixedChoice(bool on) : on(on) {}
    bool FormatBox1() const override { return on; }
    bool on;
};

bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

// Record bits for records [first, first+n), n <= 64.
std::uint64_t Selected(const SelectionIndex* selection, std::uint64_t first, std::size_t n) {
    const std::uint64_t all = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    return selection ? selection->Bits(first) & all : all;
}

// Calls onBlock(block bytes, mask of its selected records, its first record
// number) for each block with a selected record, in order, reading the file
// in large chunks; chunks without a selected record are not read at all.
// False when stopped.
template <typename Block>
bool WalkBlocks(const RecordFile& file, const SelectionIndex* selection, const std::atomic<bool>* stop,
                std::atomic<std::uint64_t>* done, Block onBlock) {
    const std::uint64_t blocks = file.RecordCount() / kRecordsPerBlock;
    const std::size_t chunkBlocks = kChunkBytes / kBlockSize;
    AlignedBuffer chunk(kChunkBytes);
    for (std::uint64_t b = 0; b < blocks; b += chunkBlocks) {
        if (Stopped(stop))
            return false;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkBlocks, blocks - b));
        bool any = !selection;
        for (std::size_t k = 0; k < want && !any; ++k)
            any = Selected(selection, (b + k) * kRecordsPerBlock, kRecordsPerBlock) != 0;
        if (any) {
            file.ReadWhole(b * kBlockSize, chunk.Data(), want * kBlockSize);
            for (std::size_t k = 0; k < want; ++k) {
                const RecordMask mask = Selected(selection, (b + k) * kRecordsPerBlock, kRecordsPerBlock);
                if (mask)
                    onBlock(chunk.Data() + k * kBlockSize, mask, (b + k) * kRecordsPerBlock);
            }
        }
        if (done)
            done->store((b + want) * kRecordsPerBlock, std::memory_order_relaxed);
    }
    return true;
}

// Calls onLine(line bytes, line number) for each selected line, in order.
template <typename Line>
bool WalkLines(const RecordFile& file, const SelectionIndex* selection, const std::atomic<bool>* stop,
               std::atomic<std::uint64_t>* done, Line onLine) {
    const std::uint64_t lines = file.RecordCount();
    const std::size_t length = file.Layout().LineLength();
    // Whole 64-line runs, so each run's bits come in one word.
    const std::size_t chunkLines = std::max<std::size_t>(64, kChunkBytes / length / 64 * 64);
    AlignedBuffer chunk(chunkLines * length);
    for (std::uint64_t l = 0; l < lines; l += chunkLines) {
        if (Stopped(stop))
            return false;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkLines, lines - l));
        bool any = !selection;
        for (std::size_t k = 0; k < want && !any; k += 64)
            any = Selected(selection, l + k, std::min<std::size_t>(64, want - k)) != 0;
        if (any) {
            file.ReadWhole(l * length, chunk.Data(), want * length);
            for (std::size_t k = 0; k < want; k += 64) {
                const std::size_t n = std::min<std::size_t>(64, want - k);
                for (std::uint64_t bits = Selected(selection, l + k, n); bits; bits &= bits - 1) {
                    const std::size_t i = k + static_cast<std::size_t>(std::countr_zero(bits));
                    onLine(chunk.Data() + i * length, l + i);
                }
            }
        }
        if (done)
            done->store(l + want, std::memory_order_relaxed);
    }
    return true;
}

bool WriteCsv(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
              const std::atomic<bool>* stop, std::atomic<std::uint64_t>* done, OutputFile& out) {
    std::string row;
    for (int n = 1; n <= 14; ++n)
        row += (n > 1 ? ",Field " : "Field ") + std::to_string(n);
    row += "\r\n";
    out.Write(row.data(), row.size());
    const FieldReader reader(file.Layout(), table);
    // A raw line's field 13 is four binary bytes; a spreadsheet gets them in hex.
    const bool binary13 = file.Layout().Kind == LayoutKind::Raw;
    auto writeRecord = [&](const std::uint8_t* record) {
        row.clear();
        for (int n = 1; n <= 14; ++n) {
            if (n > 1)
                row += ',';
            std::string text;
            if (n == 13 && binary13) {
                std::uint8_t hex[8];
                HexDigits(record + reader.Place(13).Offset, hex);
                text.assign(reinterpret_cast<const char*>(hex), 8);
            } else {
                text = Windows1251ToUtf8(reader.Text(record, n));
            }
            row += CsvField(text);
        }
        row += "\r\n";
        out.Write(row.data(), row.size());
    };
    if (file.Layout().IsText())
        return WalkLines(file, selection, stop, done,
                         [&](const std::uint8_t* line, std::uint64_t) { writeRecord(line); });
    return WalkBlocks(
        file, selection, stop, done,
        [&](const std::uint8_t* block, RecordMask mask, std::uint64_t) {
            for (; mask; mask &= mask - 1)
                writeRecord(block + kHeaderSize + kRecordSize * static_cast<std::size_t>(std::countr_zero(mask)));
        });
}

bool WriteLines(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                const ExportFormat& format, const std::atomic<bool>* stop, std::atomic<std::uint64_t>* done,
                OutputFile& out) {
    if (file.Layout().IsText()) {
        const std::size_t length = file.Layout().LineLength();
        return WalkLines(file, selection, stop, done,
                         [&](const std::uint8_t* line, std::uint64_t) { out.Write(line, length); });
    }
    const bool recode = file.Layout().Code == BlockCode::Ebcdic && table;
    const FixedChoice choice(format.Formatted);
    CallRecordBlock block;
    return WalkBlocks(
        file, selection, stop, done,
        [&](const std::uint8_t* bytes, RecordMask mask, std::uint64_t) {
            std::memcpy(&block, bytes, kBlockSize);
            if (recode)
                RecodeBlock(block, *table);
            WriteSelectedRecords(block, mask, format.Separator, OutputType::Text, choice, out);
        });
}

std::string TemporaryBeside(const std::string& target) {
    std::random_device random;
    for (;;) {
        const std::string path = target + ".part" + std::to_string(random() % 1000000);
        fileaccess::FileInfo info;
        if (!fileaccess::StatPath(path, info) && errno == ENOENT)
            return path;
    }
}

}  // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Windows1251ToUtf8(const std::string& bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (unsigned char b : bytes) {
        // The one unassigned byte keeps its value as a C1 code, so no byte is lost.
        const char16_t c = b == 0x98 ? char16_t{0x98} : FromWindows1251(b);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

bool ExportSelection(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target, const std::atomic<bool>* stop,
                     std::atomic<std::uint64_t>* done) {
    // The rename would put the export in place of the file being read.
    fileaccess::FileInfo info;
    if (fileaccess::StatPath(target, info) && info.Identity == file.Identity())
        throw IOError(kFileAccessDenied, target);
    const std::string temporary = TemporaryBeside(target);
    bool complete = false;
    try {
        OutputFile out(temporary);
        complete = format.Format == ExportFormat::Csv
                       ? WriteCsv(file, selection, table, stop, done, out)
                       : WriteLines(file, selection, table, format, stop, done, out);
        out.Close();
        if (complete && !fileaccess::Replace(temporary, target))
            throw IOError::FromErrno(errno, target);
    } catch (...) {
        fileaccess::Remove(temporary);
        throw;
    }
    if (!complete)
        fileaccess::Remove(temporary);
    return complete;
}
