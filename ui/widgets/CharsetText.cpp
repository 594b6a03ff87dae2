#include "CharsetText.h"

std::optional<std::string> ToCharsetBytes(const QString& text, Charset set) {
    return EncodeUtf16(set, text.toStdU16String());
}

QString FromCharsetBytes(const std::string& bytes, Charset set) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes)
        text += QChar(CharOfByte(set, b));
    return text;
}

CharsetValidator::CharsetValidator(Charset set, QObject* parent) : QValidator(parent), set_(set) {}

QValidator::State CharsetValidator::validate(QString& input, int&) const {
    return ToCharsetBytes(input, set_) ? Acceptable : Invalid;
}
