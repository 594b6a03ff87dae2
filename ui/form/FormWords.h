#pragma once

#include <string>
#include <string_view>

// The form's own texts in the user's language. The texts are written in
// English in the code, each with its context, and translated in
// translations/*.ts; the call has Qt's name and shape so that lupdate finds them.
class FormWords {
public:
    // source in the user's language; a "%n" in it replaced by n, in the
    // plural form that n takes, when n is not negative.
    virtual std::string translate(const char* context, const char* source, const char* disambiguation = nullptr,
                                  int n = -1) const = 0;

protected:
    ~FormWords() = default;
};

// text with its lowest-numbered "%1" ... "%9" marker replaced by value, as
// Qt's QString::arg does.
std::string Arg(std::string_view text, std::string_view value);
std::string Arg(std::string_view text, long long value);
