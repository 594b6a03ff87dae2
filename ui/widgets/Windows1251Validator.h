#pragma once

#include <QValidator>

// Accepts only text that windows-1251 can represent: the run writes the
// separator to the output as those bytes.
class Windows1251Validator : public QValidator {
    Q_OBJECT

public:
    explicit Windows1251Validator(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};
