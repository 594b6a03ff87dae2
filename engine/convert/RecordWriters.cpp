#include "RecordWriters.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "HexDigits.h"
#include "RecordLayout.h"

namespace {

constexpr std::uint8_t kF = 0x46;
constexpr std::uint8_t kBlank = 0x20;

// Field n (1-14) of the record's bytes, and its form on a formatted line.
template <int N>
constexpr FieldPlace kField = kCallRecordFields[N - 1];
template <int N>
constexpr std::string_view kForm = FormOfField(N).Formatted;

// How many places from at on are place.
constexpr std::size_t RunOf(std::string_view form, std::size_t at, char place) {
    std::size_t n = 0;
    while (at + n < form.size() && form[at + n] == place)
        ++n;
    return n;
}

// Writes straight into the output buffer: a call per field would cost more
// than the bytes themselves. The formatted field is unrolled from its form
// at compile time, a run of like places at a time.
class LineCursor {
public:
    explicit LineCursor(std::uint8_t* at, std::string_view separator)
        : at_(at), start_(at), separator_(separator) {}

    void Separator() {
        if (separator_.size() == 1) {
            *at_++ = static_cast<std::uint8_t>(separator_[0]);
        } else {
            std::memcpy(at_, separator_.data(), separator_.size());
            at_ += separator_.size();
        }
    }
    template <int N>
    void RawField(const std::uint8_t* record) {
        Bytes<kField<N>.Width>(record + kField<N>.Offset);
    }
    template <int N>
    void FormattedField(const std::uint8_t* record) {
        Places<N, 0>(record + kField<N>.Offset);
    }
    // Fields 1 to 14 of a line, the separator between them, CR LF after.
    template <bool Formatted, int... N>
    void Fields(const std::uint8_t* record, std::integer_sequence<int, N...>) {
        ((Formatted ? FormattedField<N + 1>(record) : RawField<N + 1>(record), N + 1 < kFieldCount ? Separator() : CrLf()),
         ...);
    }
    std::size_t Written() const { return static_cast<std::size_t>(at_ - start_); }

private:
    template <std::size_t N>
    void Bytes(const std::uint8_t* from) {
        std::memcpy(at_, from, N);
        at_ += N;
    }
    template <std::size_t N>
    void BlankingF(const std::uint8_t* from) {
        for (std::size_t i = 0; i < N; ++i)
            at_[i] = from[i] == kF ? kBlank : from[i];
        at_ += N;
    }
    void CrLf() {
        at_[0] = 0x0D;
        at_[1] = 0x0A;
        at_ += 2;
    }
    // Places At onwards of field N's form, from the field's bytes at from.
    template <int N, std::size_t At>
    void Places(const std::uint8_t* from) {
        if constexpr (At < kForm<N>.size()) {
            constexpr char place = kForm<N>[At];
            if constexpr (place == 'X') {  // two places, one byte in hex
                PutHex(*from, at_);
                at_ += 2;
                Places<N, At + 2>(from + 1);
            } else if constexpr (IsValuePlace(place)) {
                constexpr std::size_t run = RunOf(kForm<N>, At, place);
                if constexpr (place == 'P')
                    BlankingF<run>(from);
                else
                    Bytes<run>(from);
                Places<N, At + run>(from + run);
            } else {
                *at_++ = static_cast<std::uint8_t>(place);
                Places<N, At + 1>(from);
            }
        }
    }

    std::uint8_t* at_;
    std::uint8_t* start_;
    std::string_view separator_;
};

constexpr auto kEveryField = std::make_integer_sequence<int, kFieldCount>{};

}  // namespace

void WriteFormattedLine(const CallRecord& record, std::string_view separator, OutputFile& out) {
    if (record.Bytes[0] == kF)
        return;
    LineCursor line(out.Reserve(TextLineLength(LayoutKind::Formatted, separator.size())), separator);
    line.Fields<true>(record.Bytes, kEveryField);
    out.Commit(line.Written());
}

void WriteRawFieldLine(const CallRecord& record, std::string_view separator, OutputFile& out) {
    if (separator.empty()) {
        // With nothing between the fields the line is the record itself.
        out.Write(record.Bytes, kRecordSize);
        return;
    }
    LineCursor line(out.Reserve(TextLineLength(LayoutKind::Raw, separator.size())), separator);
    line.Fields<false>(record.Bytes, kEveryField);
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
