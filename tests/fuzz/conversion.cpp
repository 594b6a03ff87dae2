// Conversion: any bytes, in every mode and layout.
// Input: a byte choosing mode, layout and separator, a byte choosing the
// code table, then the input file.
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CallRecordBlock.h"
#include "CodeTable.h"
#include "ConversionMode.h"
#include "ConversionRun.h"
#include "FuzzCheck.h"
#include "RecordLayout.h"

namespace {

class FixedSettings : public RunSettings {
public:
    FixedSettings(int mode, bool formatted) : mode_(mode), formatted_(formatted) {}
    int ConversionMode() const override { return mode_; }
    std::int64_t BlockCount() const override { return 0; }
    bool FormatBox1() const override { return formatted_; }
    bool Converting() override { return true; }
    void UpdateGauge(int) override {}

private:
    int mode_;
    bool formatted_;
};

// A folder for the outputs, made once.
std::string Scratch() {
    static const ScratchFolder dir("mavik-fuzz-conversion");
    return dir.Path().string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return {std::istreambuf_iterator<char>(in), {}};
}

ConversionResult Run(const std::uint8_t* data, std::size_t size, const std::string& output, int mode,
                     bool formatted, const std::string& separator, const CodeTables& tables) {
    const MemoryFile input(data, size);
    FixedSettings settings(mode, formatted);
    return RunConversion(input.Path(), output, separator, tables, settings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    static const int kModes[] = {kEbcdicToText, kEbcdicToAsciiImage, kAsciiToText, kAsciiToEbcdicImage};
    static const char* const kSeparators[] = {"", "*", "\t", "<->"};
    const int mode = kModes[data[0] & 3];
    const bool formatted = data[0] & 4;
    const bool binary = OutputTypeFor(mode) == OutputType::Binary;
    // As the window and mavik-convert fix it: a binary output has none.
    const std::string separator = FixSeparator(mode, false, kSeparators[(data[0] >> 3) & 3]);
    // A table and its inverse: multiplying by an odd number permutes the bytes.
    const std::uint8_t factor = static_cast<std::uint8_t>(data[1] | 1), shift = data[0] >> 5;
    CodeTable forward{}, backward{};
    for (unsigned i = 0; i < 256; ++i) {
        forward[i] = static_cast<std::uint8_t>(i * factor + shift);
        backward[forward[i]] = static_cast<std::uint8_t>(i);
    }
    CodeTables tables;
    tables.EbcdicToAscii = forward;
    tables.AsciiToEbcdic = backward;
    const std::uint8_t* in = data + 2;
    const std::size_t inSize = size - 2;
    const std::size_t blocks = inSize / kBlockSize;
    const auto table = RecodeTableFor(mode);
    const CodeTable* recode = table ? &*tables[*table] : nullptr;
    const auto recoded = [&](std::size_t at) { return recode ? (*recode)[in[at]] : in[at]; };

    const std::string output = Scratch() + "/out";
    const ConversionResult result = Run(in, inSize, output, mode, formatted, separator, tables);
    FUZZ_CHECK(!result.Failed);
    FUZZ_CHECK(result.BlocksDone == static_cast<std::int64_t>(blocks));
    const std::vector<std::uint8_t> out = ReadAll(output);

    // The output's length follows from the records and the layout; a
    // formatted text leaves out the records that begin with F.
    const bool lines = !binary && formatted;
    std::size_t expected = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        if (binary || separator.empty())
            expected += kHeaderSize;
        for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
            const std::size_t at = b * kBlockSize + kHeaderSize + r * kRecordSize;
            if (lines)
                expected += recoded(at) == 'F' ? 0 : TextLineLength(LayoutKind::Formatted, separator.size());
            else if (binary || separator.empty())
                expected += kRecordSize;
            else
                expected += TextLineLength(LayoutKind::Raw, separator.size());
        }
    }
    FUZZ_CHECK(out.size() == expected);

    // Field 13 passes unchanged: as the same bytes in a block image and in
    // raw lines, as their hex digits in formatted lines. In a block image
    // every other byte is the input's through the table.
    const RecordLayout layout = binary || (!formatted && separator.empty()) ? RecordLayout::Block(BlockCode::Ascii)
                                : formatted ? RecordLayout::Formatted(separator)
                                            : RecordLayout::Raw(separator);
    std::size_t place = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        if (layout.Kind == LayoutKind::Block || separator.empty())
            place += kHeaderSize;
        for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
            const std::size_t at = b * kBlockSize + kHeaderSize + r * kRecordSize;
            const std::uint8_t* field13 = in + at + kBinaryFieldOffset;
            if (layout.Kind == LayoutKind::Block) {
                FUZZ_CHECK(std::memcmp(out.data() + place + kBinaryFieldOffset, field13, kBinaryFieldWidth) == 0);
                for (std::size_t i = 0; i < kRecordSize; ++i)
                    if (i < kBinaryFieldOffset || i >= kBinaryFieldOffset + kBinaryFieldWidth)
                        FUZZ_CHECK(out[place + i] == recoded(at + i));
                place += kRecordSize;
            } else if (layout.Kind == LayoutKind::Raw) {
                FUZZ_CHECK(std::memcmp(out.data() + place + layout.Field(13).Offset, field13, kBinaryFieldWidth) == 0);
                place += layout.LineLength();
            } else if (recoded(at) != 'F') {
                static const char kDigits[] = "0123456789ABCDEF";
                const char hex[] = {kDigits[field13[0] >> 4], kDigits[field13[0] & 15], kDigits[field13[1] >> 4],
                                    kDigits[field13[1] & 15], 'H', kDigits[field13[2] >> 4], kDigits[field13[2] & 15],
                                    kDigits[field13[3] >> 4], kDigits[field13[3] & 15], 'H'};
                FUZZ_CHECK(std::memcmp(out.data() + place + layout.Field(13).Offset, hex, sizeof hex) == 0);
                place += layout.LineLength();
            }
        }
        if (binary && layout.Kind == LayoutKind::Block)
            for (std::size_t i = 0; i < kHeaderSize; ++i)
                FUZZ_CHECK(out[b * kBlockSize + i] == recoded(b * kBlockSize + i));
    }
    FUZZ_CHECK(place == out.size());

    // Through a table and then its inverse, a block image comes back as the
    // input's whole blocks.
    if (binary) {
        const int back = mode == kEbcdicToAsciiImage ? kAsciiToEbcdicImage : kEbcdicToAsciiImage;
        const std::string again = Scratch() + "/again";
        FUZZ_CHECK(!Run(out.data(), out.size(), again, back, formatted, "", tables).Failed);
        const std::vector<std::uint8_t> returned = ReadAll(again);
        FUZZ_CHECK(returned.size() == blocks * kBlockSize);
        FUZZ_CHECK(returned.empty() || std::memcmp(returned.data(), in, returned.size()) == 0);
    }
    return 0;
}
