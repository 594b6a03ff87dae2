// Recognition: layout recognition and the record file, over the input as
// a file. Input: the file's bytes.
#include <cstring>
#include <stdexcept>
#include <vector>

#include "FileSource.h"
#include "FuzzCheck.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemoryFile file(data, size);
    RecordLayout layout;
    {
        const FileSource source(file.Path());
        FUZZ_CHECK(source.Size() == size);
        try {
            layout = RecogniseLayout(source, size);
        } catch (const LayoutError&) {
            return 0;  // fits no layout: said as a LayoutError, nothing else
        }
        if (layout.IsText()) {
            // A text output: whole lines, each of the layout's length, with
            // its shape (CR LF at its end, the separators in place).
            const std::size_t length = layout.LineLength();
            FUZZ_CHECK(!layout.Separator.empty());
            FUZZ_CHECK(size > 0 && size % length == 0);
            for (std::size_t at = 0; at < size; at += length) {
                FUZZ_CHECK(data[at + length - 2] == '\r' && data[at + length - 1] == '\n');
                FUZZ_CHECK(LineFits(layout, data + at));
            }
            FUZZ_CHECK(LayoutFits(source, size, layout));
        } else {
            FUZZ_CHECK(size >= kBlockSize);
        }
    }

    // The record file sees the same layout, and every record it yields
    // lies inside the file and holds the file's bytes there.
    RecordFile records(file.Path());
    FUZZ_CHECK(records.Size() == size);
    FUZZ_CHECK(records.Layout().Kind == layout.Kind && records.Layout().Separator == layout.Separator);
    const std::uint64_t count = records.RecordCount();
    const std::size_t bytes = records.Layout().RecordBytes();
    FUZZ_CHECK(count == layout.RecordCount(size));
    if (layout.IsText())
        FUZZ_CHECK(count * bytes == size);
    else
        FUZZ_CHECK(count == size / kBlockSize * kRecordsPerBlock);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t offset = records.Layout().RecordOffset(i);
        FUZZ_CHECK(offset + bytes <= size);
        if (i > 0)
            FUZZ_CHECK(offset >= records.Layout().RecordOffset(i - 1) + bytes);
        const std::uint8_t* record = records.Record(i);
        FUZZ_CHECK(record != nullptr);
        FUZZ_CHECK(std::memcmp(record, data + offset, bytes) == 0);
    }
    FUZZ_CHECK(records.Record(count) == nullptr);
    return 0;
}
