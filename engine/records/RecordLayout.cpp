#include "RecordLayout.h"

#include <utility>

#include "CallRecordBlock.h"

RecordLayout RecordLayout::Block(BlockCode code) {
    RecordLayout layout;
    layout.Kind = LayoutKind::Block;
    layout.Code = code;
    return layout;
}

RecordLayout RecordLayout::Formatted(std::string separator) {
    RecordLayout layout;
    layout.Kind = LayoutKind::Formatted;
    layout.Separator = std::move(separator);
    return layout;
}

RecordLayout RecordLayout::Raw(std::string separator) {
    RecordLayout layout;
    layout.Kind = LayoutKind::Raw;
    layout.Separator = std::move(separator);
    return layout;
}

std::size_t RecordLayout::LineLength() const {
    return TextLineLength(Kind, Separator.size());
}

std::uint64_t RecordLayout::RecordCount(std::uint64_t fileSize) const {
    if (Kind == LayoutKind::Block)
        return fileSize / kBlockSize * kRecordsPerBlock;
    return fileSize / LineLength();
}

std::uint64_t RecordLayout::RecordOffset(std::uint64_t i) const {
    if (Kind == LayoutKind::Block)
        return i / kRecordsPerBlock * kBlockSize + kHeaderSize + i % kRecordsPerBlock * kRecordSize;
    return i * LineLength();
}

std::size_t RecordLayout::RecordBytes() const {
    return Kind == LayoutKind::Block ? kRecordSize : LineLength();
}

FieldPlace RecordLayout::Field(int n) const {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    if (Kind == LayoutKind::Block)
        return {kCallRecordFields[i].Offset, kCallRecordFields[i].Width};
    const auto& widths = Kind == LayoutKind::Formatted ? kFormattedWidths : kRawWidths;
    std::size_t offset = 0;
    for (std::size_t f = 0; f < i; ++f)
        offset += widths[f] + Separator.size();
    return {offset, widths[i]};
}

namespace {

std::string Shown(const std::string& separator) {
    if (separator == "\t")
        return "TAB";
    return "\"" + separator + "\"";
}

}  // namespace

std::string RecordLayout::Describe() const {
    switch (Kind) {
    case LayoutKind::Block:
        return Code == BlockCode::Ebcdic ? "EBCDIC call records" : "ASCII call records";
    case LayoutKind::Formatted:
        return "formatted lines, separator " + Shown(Separator);
    case LayoutKind::Raw:
        return "raw field lines, separator " + Shown(Separator);
    }
    return {};
}
