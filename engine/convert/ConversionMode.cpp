#include "ConversionMode.h"

#include "FileAccess.h"

std::optional<RunMode> RunMode::FromNumber(int number) {
    switch (number) {
    case kEbcdicToText:
        return RunMode(InputCode::Ebcdic, OutputType::Text);
    case kEbcdicToAsciiImage:
        return RunMode(InputCode::Ebcdic, OutputType::Binary);
    case kEbcdicToCsv:
        return RunMode(InputCode::Ebcdic, OutputType::Csv);
    case kAsciiToText:
        return RunMode(InputCode::Ascii, OutputType::Text);
    case kAsciiToEbcdicImage:
        return RunMode(InputCode::Ascii, OutputType::Binary);
    case kAsciiToCsv:
        return RunMode(InputCode::Ascii, OutputType::Csv);
    default:
        return std::nullopt;
    }
}

int RunMode::Number() const {
    const int output = output_ == OutputType::Text ? 0 : output_ == OutputType::Binary ? 1 : 2;
    return Number(input_ == InputCode::Ebcdic ? 0 : 1, output);
}

std::optional<CodeTableKind> RunMode::Table() const {
    if (input_ == InputCode::Ebcdic)
        return CodeTableKind::EbcdicToAscii;
    if (output_ == OutputType::Binary)
        return CodeTableKind::AsciiToEbcdic;
    return std::nullopt;
}

const char* RunMode::Extension() const {
    switch (output_) {
    case OutputType::Text:
        return ".txt";
    case OutputType::Binary:
        return input_ == InputCode::Ebcdic ? ".asc" : ".ebs";
    case OutputType::Csv:
        return ".csv";
    }
    return "";
}

std::string RunMode::Separator(bool tab, const std::string& text) const {
    if (output_ != OutputType::Text)
        return {};
    return tab ? std::string("\t") : text;
}

std::optional<RecordLayout> RunMode::OutputLayout(const std::string& separator, bool formatted) const {
    switch (output_) {
    case OutputType::Binary:
        return RecordLayout::Block(input_ == InputCode::Ebcdic ? BlockCode::Ascii : BlockCode::Ebcdic);
    case OutputType::Text:
        if (!separator.empty())
            return formatted ? RecordLayout::Formatted(separator) : RecordLayout::Raw(separator);
        if (!formatted)
            return RecordLayout::Block(BlockCode::Ascii);  // raw lines run together: the block image
        return std::nullopt;
    case OutputType::Csv:
        return std::nullopt;
    }
    return std::nullopt;
}

bool IsRunnableMode(int mode) { return RunMode::FromNumber(mode).has_value(); }

OutputType OutputTypeFor(int mode) {
    const auto runs = RunMode::FromNumber(mode);
    return runs ? runs->Output() : OutputType::Text;
}

std::optional<CodeTableKind> RecodeTableFor(int mode) {
    const auto runs = RunMode::FromNumber(mode);
    return runs ? runs->Table() : std::nullopt;
}

std::optional<std::string> DeriveOutputName(const std::string& inputPath, int mode, NameCut cut) {
    const auto runs = RunMode::FromNumber(mode);
    if (!runs)
        return std::nullopt;
    const auto nameStart = fileaccess::FileNameStart(inputPath);
    std::size_t dot = inputPath.find('.', nameStart);
    if (cut == NameCut::LastDot && dot != std::string::npos)
        dot = inputPath.rfind('.');
    return inputPath.substr(0, dot) + runs->Extension();
}

std::string FixSeparator(int mode, bool tab, const std::string& text) {
    // A number that does not run is taken as text output, as the run's block loop takes it.
    const auto runs = RunMode::FromNumber(mode);
    return runs ? runs->Separator(tab, text) : RunMode(InputCode::Ascii, OutputType::Text).Separator(tab, text);
}
