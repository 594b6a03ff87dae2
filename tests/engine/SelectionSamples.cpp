#include "SelectionSamples.h"

#include <cstdio>
#include <cstring>

#include "RecordWriters.h"

Bytes VariedBlocks(int blocks) {
    Bytes bytes;
    for (int b = 0; b < blocks; ++b) {
        CallRecordBlock block = ExampleBlock();
        std::snprintf(reinterpret_cast<char*>(block.Header.Bytes), kHeaderSize, "HDR%04d", b % 10000);
        block.Header.Bytes[7] = '#';
        for (int r = 0; r < static_cast<int>(kRecordsPerBlock); ++r) {
            std::uint8_t* rec = block.Records[r].Bytes;
            const int n = b * static_cast<int>(kRecordsPerBlock) + r;
            rec[0] = n % 7 == 0 ? 'F' : static_cast<std::uint8_t>('0' + n % 10);
            char text[32];
            std::snprintf(text, sizeof text, "%015d", n);
            std::memcpy(rec + 12, text, 15);
            std::snprintf(text, sizeof text, "%02d%02d", 1 + n % 12, 1 + n % 28);
            std::memcpy(rec + 27, text, 4);
            const std::uint8_t binary[4] = {static_cast<std::uint8_t>(n), 0x0D, 0x0A,
                                            static_cast<std::uint8_t>(n % 2 ? '*' : '\t')};
            std::memcpy(rec + 55, binary, 4);
        }
        const Bytes one = BlockBytes(block);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

CodeTable XorTable() {
    CodeTable table;
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b ^ 0xC0);
    return table;
}

Bytes ToXorEbcdic(Bytes blocks) {
    const CodeTable table = XorTable();
    for (std::size_t at = 0; at + kBlockSize <= blocks.size(); at += kBlockSize)
        RecodeBlock(*reinterpret_cast<CallRecordBlock*>(blocks.data() + at), table);
    return blocks;
}

std::string Converted(const Bytes& blocks, bool formatted, const std::string& separator) {
    struct Fixed : FormatChoice {
        bool on;
        bool FormatBox1() const override { return on; }
    } choice;
    choice.on = formatted;
    TempDir dir;
    {
        OutputFile out(dir / "out");
        for (std::size_t at = 0; at + kBlockSize <= blocks.size(); at += kBlockSize)
            WriteBlock(*reinterpret_cast<const CallRecordBlock*>(blocks.data() + at), separator,
                       OutputType::Text, choice, out);
        out.Close();
    }
    const Bytes bytes = ReadFile(dir / "out");
    return std::string(bytes.begin(), bytes.end());
}
