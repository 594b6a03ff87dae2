#pragma once

#include "FormWords.h"

// The form's texts in Russian, from translations/mavik_ru.ts as it was at
// build time; a text it does not hold stays as written.
class TranslatedWords final : public FormWords {
public:
    std::string translate(const char* context, const char* source, const char* disambiguation = nullptr,
                          int n = -1) const override;
};
