#include "ConversionMode.h"

#include "FileAccess.h"

bool IsRunnableMode(int mode) {
    return mode == kEbcdicToText || mode == kEbcdicToAsciiImage || mode == kAsciiToText ||
           mode == kAsciiToEbcdicImage || mode == kEbcdicToCsv || mode == kAsciiToCsv;
}

OutputType OutputTypeFor(int mode) {
    if (mode == kEbcdicToCsv || mode == kAsciiToCsv)
        return OutputType::Csv;
    return mode == kEbcdicToAsciiImage || mode == kAsciiToEbcdicImage ? OutputType::Binary
                                                                       : OutputType::Text;
}

std::optional<CodeTableKind> RecodeTableFor(int mode) {
    switch (mode) {
    case kEbcdicToText:
    case kEbcdicToAsciiImage:
    case kEbcdicToCsv:
        return CodeTableKind::EbcdicToAscii;
    case kAsciiToEbcdicImage:
        return CodeTableKind::AsciiToEbcdic;
    default:
        return std::nullopt;
    }
}

std::optional<std::string> DeriveOutputName(const std::string& inputPath, int mode, NameCut cut) {
    const char* extension = nullptr;
    switch (mode) {
    case kEbcdicToText:
    case kAsciiToText:
        extension = ".txt";
        break;
    case kEbcdicToAsciiImage:
        extension = ".asc";
        break;
    case kAsciiToEbcdicImage:
        extension = ".ebs";
        break;
    case kEbcdicToCsv:
    case kAsciiToCsv:
        extension = ".csv";
        break;
    default:
        return std::nullopt;
    }
    const auto nameStart = fileaccess::FileNameStart(inputPath);
    std::size_t dot = inputPath.find('.', nameStart);
    if (cut == NameCut::LastDot && dot != std::string::npos)
        dot = inputPath.rfind('.');
    return inputPath.substr(0, dot) + extension;
}

std::string FixSeparator(int mode, bool tab, const std::string& text) {
    if (OutputTypeFor(mode) != OutputType::Text)
        return {};
    return tab ? std::string("\t") : text;
}
