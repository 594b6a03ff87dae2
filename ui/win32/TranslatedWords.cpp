#include "TranslatedWords.h"

#include <cstring>

#include "RussianWords.h"

namespace {

// Russian plural forms: 1, 21, 31 ... one; 2-4, 22-24 ... few; the rest many.
int PluralForm(int n) {
    if (n % 10 == 1 && n % 100 != 11)
        return 0;
    if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14))
        return 1;
    return 2;
}

}  // namespace

std::string TranslatedWords::translate(const char* context, const char* source, const char*, int n) const {
    std::string text = source;
    for (const TranslatedText& entry : kTranslations)
        if (std::strcmp(entry.Context, context) == 0 && std::strcmp(entry.Source, source) == 0 &&
            *entry.Forms[0]) {
            text = entry.Forms[n < 0 ? 0 : PluralForm(n)];
            break;
        }
    if (n >= 0)
        for (std::size_t at; (at = text.find("%n")) != std::string::npos;)
            text.replace(at, 2, std::to_string(n));
    return text;
}
