#include "Windows1251Validator.h"

#include "Windows1251.h"

Windows1251Validator::Windows1251Validator(QObject* parent) : QValidator(parent) {}

QValidator::State Windows1251Validator::validate(QString& input, int&) const {
    return ToWindows1251(input.toStdU16String()) ? Acceptable : Invalid;
}
