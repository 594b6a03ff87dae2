#pragma once

#include "CharsetText.h"

// Accepts only text that windows-1251 can represent: the window's run
// writes its separator to the output as those bytes.
class Windows1251Validator : public CharsetValidator {
    Q_OBJECT

public:
    explicit Windows1251Validator(QObject* parent = nullptr);
};
