#include "FormWords.h"

std::string Arg(std::string_view text, std::string_view value) {
    // The lowest marker present, as QString::arg picks it.
    std::size_t at = std::string_view::npos;
    char lowest = '9' + 1;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] < lowest) {
            lowest = text[i + 1];
            at = i;
        }
    std::string result(text);
    if (at == std::string_view::npos)
        return result;
    // Every occurrence of that marker takes the value.
    const std::string marker{'%', lowest};
    for (std::size_t from = at; (from = result.find(marker, from)) != std::string::npos; from += value.size())
        result.replace(from, marker.size(), value);
    return result;
}

std::string Arg(std::string_view text, long long value) { return Arg(text, std::to_string(value)); }
