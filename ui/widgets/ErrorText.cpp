#include "ErrorText.h"

#include <QCoreApplication>

#include "FormWords.h"
#include "IOError.h"
#include "RunWords.h"

namespace {

// The form's words through the installed translators.
class Translated final : public FormWords {
public:
    std::string translate(const char* context, const char* source, const char* disambiguation,
                          int n) const override {
        return QCoreApplication::translate(context, source, disambiguation, n).toStdString();
    }
};

}  // namespace

QString IOErrorText(const IOError& error) { return QString::fromStdString(form::IOErrorWords(error, Translated())); }

QString ErrorText(const std::exception& error) {
    if (const auto* io = dynamic_cast<const IOError*>(&error))
        return IOErrorText(*io);
    return QString::fromStdString(form::ErrorWords(error, Translated()));
}

QString ErrorText(const std::exception_ptr& failure) {
    if (!failure)
        return {};
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return ErrorText(error);
    } catch (...) {
        return QCoreApplication::translate("IOError", "Unknown error");
    }
}
