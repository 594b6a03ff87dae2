#include "RecordWriters.h"

#include <cstring>

namespace {

constexpr std::uint8_t kF = 0x46;
constexpr std::uint8_t kBlank = 0x20;
constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr std::size_t kFormattedChars = 71;  // a formatted line without separators or CR LF
constexpr std::size_t kFieldsFollowedBySeparator = 13;

// Writes straight into the output buffer: a call per field would cost more
// than the bytes themselves.
class LineCursor {
public:
    explicit LineCursor(std::uint8_t* at, std::string_view separator)
        : at_(at), start_(at), separator_(separator) {}

    template <std::size_t N>
    void Bytes(const std::uint8_t* from) {
        std::memcpy(at_, from, N);
        at_ += N;
    }
    void Byte(std::uint8_t b) { *at_++ = b; }
    void Separator() {
        if (separator_.size() == 1) {
            *at_++ = static_cast<std::uint8_t>(separator_[0]);
        } else {
            std::memcpy(at_, separator_.data(), separator_.size());
            at_ += separator_.size();
        }
    }
    template <std::size_t N>
    void BlankingF(const std::uint8_t* from) {
        for (std::size_t i = 0; i < N; ++i)
            at_[i] = from[i] == kF ? kBlank : from[i];
        at_ += N;
    }
    void Hex(std::uint8_t b) {
        at_[0] = static_cast<std::uint8_t>(kHexDigits[b >> 4]);
        at_[1] = static_cast<std::uint8_t>(kHexDigits[b & 0x0F]);
        at_ += 2;
    }
    void CrLf() {
        at_[0] = 0x0D;
        at_[1] = 0x0A;
        at_ += 2;
    }
    // Fields 8 to 12 go out unchanged in both layouts.
    void FieldsEightToTwelve(const std::uint8_t* r) {
        Bytes<6>(r + 43);
        Separator();
        Bytes<2>(r + 49);
        Separator();
        Bytes<2>(r + 51);
        Separator();
        Byte(r[53]);
        Separator();
        Byte(r[54]);
        Separator();
    }
    std::size_t Written() const { return static_cast<std::size_t>(at_ - start_); }

private:
    std::uint8_t* at_;
    std::uint8_t* start_;
    std::string_view separator_;
};

}  // namespace

void WriteFormattedLine(const CallRecord& record, std::string_view separator, OutputFile& out) {
    const std::uint8_t* r = record.Bytes;
    if (r[0] == kF)
        return;
    LineCursor line(out.Reserve(kFormattedChars + kFieldsFollowedBySeparator * separator.size() + 2),
                    separator);
    line.Byte(r[0]);
    line.Separator();
    line.Bytes<3>(r + 1);
    line.Separator();
    line.BlankingF<8>(r + 4);
    line.Separator();
    line.BlankingF<15>(r + 12);
    line.Separator();
    line.Bytes<2>(r + 27);
    line.Byte('/');
    line.Bytes<2>(r + 29);
    line.Separator();
    for (std::size_t time : {31, 37}) {
        line.Bytes<2>(r + time);
        line.Byte(':');
        line.Bytes<2>(r + time + 2);
        line.Byte(':');
        line.Bytes<2>(r + time + 4);
        line.Separator();
    }
    line.FieldsEightToTwelve(r);
    line.Hex(r[55]);
    line.Hex(r[56]);
    line.Byte('H');
    line.Hex(r[57]);
    line.Hex(r[58]);
    line.Byte('H');
    line.Separator();
    line.Byte(r[59]);
    line.CrLf();
    out.Commit(line.Written());
}

void WriteRawFieldLine(const CallRecord& record, std::string_view separator, OutputFile& out) {
    if (separator.empty()) {
        // With nothing between the fields the line is the record itself.
        out.Write(record.Bytes, kRecordSize);
        return;
    }
    LineCursor line(out.Reserve(kRecordSize + kFieldsFollowedBySeparator * separator.size() + 2),
                    separator);
    const std::uint8_t* r = record.Bytes;
    line.Bytes<1>(r + 0);
    line.Separator();
    line.Bytes<3>(r + 1);
    line.Separator();
    line.Bytes<8>(r + 4);
    line.Separator();
    line.Bytes<15>(r + 12);
    line.Separator();
    line.Bytes<4>(r + 27);
    line.Separator();
    line.Bytes<6>(r + 31);
    line.Separator();
    line.Bytes<6>(r + 37);
    line.Separator();
    line.FieldsEightToTwelve(r);
    line.Bytes<4>(r + 55);
    line.Separator();
    line.Bytes<1>(r + 59);
    line.CrLf();
    out.Commit(line.Written());
}

void WriteBlock(const CallRecordBlock& block, std::string_view separator, OutputType type,
                const FormatChoice& choice, OutputFile& out) {
    if (type == OutputType::Binary && separator.empty()) {
        // Header and records with nothing between them: the block image.
        out.Write(&block, kBlockSize);
        return;
    }
    if (separator.empty())
        out.Write(block.Header.Bytes, kHeaderSize);
    for (const CallRecord& record : block.Records) {
        if (type == OutputType::Text && choice.FormatBox1())
            WriteFormattedLine(record, separator, out);
        else
            WriteRawFieldLine(record, separator, out);
    }
}

void WriteSelectedRecords(const CallRecordBlock& block, RecordMask selected, std::string_view separator,
                          OutputType type, const FormatChoice& choice, OutputFile& out) {
    if (selected == kAllRecords) {
        WriteBlock(block, separator, type, choice, out);
        return;
    }
    if (selected == 0)
        return;
    if (separator.empty())
        out.Write(block.Header.Bytes, kHeaderSize);
    for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
        if (!(selected >> r & 1))
            continue;
        if (type == OutputType::Text && choice.FormatBox1())
            WriteFormattedLine(block.Records[r], separator, out);
        else
            WriteRawFieldLine(block.Records[r], separator, out);
    }
}
