#include "Windows1251Validator.h"

Windows1251Validator::Windows1251Validator(QObject* parent) : CharsetValidator(Charset::Windows1251, parent) {}
