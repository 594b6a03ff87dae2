#pragma once

#include <QString>
#include <QValidator>

#include <optional>
#include <string>

#include "Charset.h"

// Between a window's text and the bytes of an 8-bit set: the tables' set
// for what is compared with records or written into a file beside them.
std::optional<std::string> ToCharsetBytes(const QString& text, Charset set);
QString FromCharsetBytes(const std::string& bytes, Charset set);

// Accepts only text that the set can hold: it is written out as those bytes.
class CharsetValidator : public QValidator {
    Q_OBJECT

public:
    explicit CharsetValidator(Charset set, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

private:
    Charset set_;
};
