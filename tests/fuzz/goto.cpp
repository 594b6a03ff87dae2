// Go-to: the parser over any text, for any file size up to 2^63.
// Input: 8 bytes of file size, a byte of flags, then the text.
#include <cstring>
#include <string_view>

#include "ByteRowLayout.h"
#include "CallRecordBlock.h"
#include "FuzzCheck.h"
#include "GoToTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9)
        return 0;
    std::uint64_t fileSize = 0;
    std::memcpy(&fileSize, data, 8);
    fileSize &= (std::uint64_t{1} << 63) - 1;
    if (data[8] & 2)
        fileSize %= 1 << 20;  // small files too, where the rows are few
    const bool lines = data[8] & 1;
    const std::string_view text(reinterpret_cast<const char*>(data) + 9, size - 9);

    const auto target = ParseGoTo(text, lines);
    if (!target)
        return 0;
    // A bare number is a line in the text viewer, an offset otherwise.
    if (lines)
        FUZZ_CHECK(target->What == GoToTarget::Kind::Line || target->What == GoToTarget::Kind::Offset);
    else
        FUZZ_CHECK(target->What != GoToTarget::Kind::Line);

    const auto offset = target->Offset();
    // The offset is the target's first byte, exactly, or past any file's end.
    const unsigned __int128 v = target->Value;
    unsigned __int128 exact = 0;
    switch (target->What) {
    case GoToTarget::Kind::Offset: exact = v; break;
    case GoToTarget::Kind::Block: exact = v == 0 ? 0 : (v - 1) * kBlockSize; break;
    case GoToTarget::Kind::Record:
        exact = v == 0 ? 0 : (v - 1) / kRecordsPerBlock * kBlockSize + kHeaderSize + (v - 1) % kRecordsPerBlock * kRecordSize;
        break;
    case GoToTarget::Kind::Line: break;
    }
    if (target->What == GoToTarget::Kind::Line || (target->What != GoToTarget::Kind::Offset && v == 0)) {
        FUZZ_CHECK(!offset);
        return 0;
    }
    FUZZ_CHECK(offset);
    FUZZ_CHECK(exact > UINT64_MAX ? *offset == UINT64_MAX : *offset == exact);

    // The viewer goes to the row that holds it: inside the file, and the
    // very byte when the file has it.
    for (const auto kind : {ByteRowLayout::Kind::Records, ByteRowLayout::Kind::Plain}) {
        const ByteRowLayout layout(kind, fileSize);
        if (layout.RowCount() == 0) {
            FUZZ_CHECK(fileSize == 0);
            continue;
        }
        const std::uint64_t row = layout.RowOf(*offset);
        FUZZ_CHECK(row < layout.RowCount());
        const ByteRowLayout::Row r = layout.RowAt(row);
        FUZZ_CHECK(r.Offset < fileSize && r.Length > 0 && r.Offset + r.Length <= fileSize);
        if (*offset < fileSize)
            FUZZ_CHECK(r.Offset <= *offset && *offset < r.Offset + r.Length);
        else
            FUZZ_CHECK(row == layout.RowCount() - 1);
    }
    return 0;
}
