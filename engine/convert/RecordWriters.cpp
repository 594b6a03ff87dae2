#include "RecordWriters.h"

#include <cstring>

#include "HexDigits.h"
#include "RecordLayout.h"

namespace {

constexpr std::uint8_t kF = 0x46;
constexpr std::uint8_t kBlank = 0x20;

// Field n (1-14) of the record's bytes.
template <int N>
constexpr FieldPlace kField = kCallRecordFields[N - 1];

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
    template <int N>
    void Field(const std::uint8_t* record) {
        Bytes<kField<N>.Width>(record + kField<N>.Offset);
    }
    void Hex(std::uint8_t b) {
        PutHex(b, at_);
        at_ += 2;
    }
    void CrLf() {
        at_[0] = 0x0D;
        at_[1] = 0x0A;
        at_ += 2;
    }
    // Fields 8 to 12 go out unchanged in both layouts.
    void FieldsEightToTwelve(const std::uint8_t* r) {
        Field<8>(r);
        Separator();
        Field<9>(r);
        Separator();
        Field<10>(r);
        Separator();
        Field<11>(r);
        Separator();
        Field<12>(r);
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
    LineCursor line(out.Reserve(TextLineLength(LayoutKind::Formatted, separator.size())), separator);
    line.Field<1>(r);
    line.Separator();
    line.Field<2>(r);
    line.Separator();
    line.BlankingF<kField<3>.Width>(r + kField<3>.Offset);
    line.Separator();
    line.BlankingF<kField<4>.Width>(r + kField<4>.Offset);
    line.Separator();
    const std::uint8_t* date = r + kField<5>.Offset;  // MMDD as MM/DD
    line.Bytes<2>(date);
    line.Byte('/');
    line.Bytes<2>(date + 2);
    line.Separator();
    for (std::size_t at : {kField<6>.Offset, kField<7>.Offset}) {  // hhmmss as hh:mm:ss
        line.Bytes<2>(r + at);
        line.Byte(':');
        line.Bytes<2>(r + at + 2);
        line.Byte(':');
        line.Bytes<2>(r + at + 4);
        line.Separator();
    }
    line.FieldsEightToTwelve(r);
    const std::uint8_t* binary = r + kField<13>.Offset;  // 4 bytes as XXXXHXXXXH
    line.Hex(binary[0]);
    line.Hex(binary[1]);
    line.Byte('H');
    line.Hex(binary[2]);
    line.Hex(binary[3]);
    line.Byte('H');
    line.Separator();
    line.Field<14>(r);
    line.CrLf();
    out.Commit(line.Written());
}

void WriteRawFieldLine(const CallRecord& record, std::string_view separator, OutputFile& out) {
    if (separator.empty()) {
        // With nothing between the fields the line is the record itself.
        out.Write(record.Bytes, kRecordSize);
        return;
    }
    LineCursor line(out.Reserve(TextLineLength(LayoutKind::Raw, separator.size())), separator);
    const std::uint8_t* r = record.Bytes;
    line.Field<1>(r);
    line.Separator();
    line.Field<2>(r);
    line.Separator();
    line.Field<3>(r);
    line.Separator();
    line.Field<4>(r);
    line.Separator();
    line.Field<5>(r);
    line.Separator();
    line.Field<6>(r);
    line.Separator();
    line.Field<7>(r);
    line.Separator();
    line.FieldsEightToTwelve(r);
    line.Field<13>(r);
    line.Separator();
    line.Field<14>(r);
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
