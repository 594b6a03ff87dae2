#include "Windows1251Text.h"

#include "Windows1251.h"

std::optional<std::string> ToWindows1251Bytes(const QString& text) {
    return ToWindows1251(text.toStdU16String());
}

QString FromWindows1251Bytes(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes)
        text += QChar(FromWindows1251(b));
    return text;
}
