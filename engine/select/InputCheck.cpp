#include "InputCheck.h"

#include "CallRecordBlock.h"
#include "FileAccess.h"
#include "FileSource.h"
#include "LayoutRecognition.h"

InputDoubt CheckInput(const std::string& path, BlockCode chosen) {
    // Only a regular file: opening a FIFO would wait for a writer, and a
    // stream read here would be lost to the run.
    fileaccess::FileInfo info;
    if (!fileaccess::StatPath(path, info) || !info.Regular || info.Size < static_cast<std::int64_t>(kBlockSize))
        return {};
    try {
        const FileSource source(path);
        const RecordLayout layout = RecogniseLayout(source, source.Size());
        if (layout.IsText())
            return {InputDoubt::Kind::TextOutput, chosen};
        if (layout.Code != chosen)
            return {InputDoubt::Kind::OtherCode, layout.Code};
        return {};
    } catch (const LayoutError&) {
        return {InputDoubt::Kind::NotCallRecords, chosen};
    } catch (const std::exception&) {
        return {};
    }
}

std::string InputDoubtText(const InputDoubt& doubt, BlockCode chosen) {
    const auto name = [](BlockCode code) { return code == BlockCode::Ascii ? "ASCII" : "EBCDIC"; };
    const std::string asked = chosen == BlockCode::Ascii ? "ASCII (-i ascii)" : "EBCDIC (-i ebcdic)";
    switch (doubt.What) {
    case InputDoubt::Kind::None:
        break;
    case InputDoubt::Kind::OtherCode:
        return std::string("its records look like ") + name(doubt.Seen) + ", not " + asked;
    case InputDoubt::Kind::TextOutput:
        return "it looks like a text output of MAVIK, not call records";
    case InputDoubt::Kind::NotCallRecords:
        return "it does not look like call records: neither EBCDIC nor ASCII digits make up its first blocks";
    }
    return {};
}
