#include "EngineWords.h"

#include <QCoreApplication>

#include "CharsetText.h"

namespace {

// The context of these texts in the translations.
struct EngineWords {
    Q_DECLARE_TR_FUNCTIONS(EngineWords)
};


// What a condition's value on field n must be, with an example.
QString ValueKindWords(int n) {
    const QString example = QString::fromLatin1(FieldValueExample(n));
    const QString formatted = QString::fromStdString(FormattedValue(n, FieldValueExample(n)));
    const int width = static_cast<int>(FieldValueWidth(n));
    switch (FieldValueKind(n)) {
    case ValueKind::Date:
        return EngineWords::tr("a date, MMDD or MM/DD, for example %1 or %2").arg(example, formatted);
    case ValueKind::Time:
        return EngineWords::tr("a time, hhmmss or hh:mm:ss, for example %1 or %2").arg(example, formatted);
    case ValueKind::Hex:
        return EngineWords::tr("4 binary bytes as 8 hex digits, for example %1").arg(example);
    case ValueKind::Digits:
        return EngineWords::tr("%n digit(s), for example %1", nullptr, width).arg(example);
    case ValueKind::PaddedDigits:
        return EngineWords::tr("%n digit(s) padded with F, for example %1", nullptr, width).arg(example);
    case ValueKind::Text:
        break;
    }
    return EngineWords::tr("text");
}

}  // namespace

QString SelectionErrorText(const SelectionError& error, Charset set) {
    const auto Shown = [set](const std::string& bytes) { return FromCharsetBytes(bytes, set); };
    QString why;
    switch (error.Problem()) {
    case SelectionProblem::NoField:
        why = EngineWords::tr("no field number (expected N OP VALUE, N from 1 to 14)");
        break;
    case SelectionProblem::FieldOutOfRange:
        why = EngineWords::tr("field %1 is outside 1-14").arg(Shown(error.Detail()));
        break;
    case SelectionProblem::NoOperator:
        why = EngineWords::tr("no operator (one of = != < <= > >= ^= *=)");
        break;
    case SelectionProblem::ValueHoldsSeparator:
        why = EngineWords::tr("a value cannot hold \";\", which separates conditions");
        break;
    case SelectionProblem::ValueBeginsWithEqual:
        why = EngineWords::tr("a value after \"%1\" cannot begin with \"=\", which would make the operator \"%1=\"")
                  .arg(Shown(error.Detail()));
        break;
    case SelectionProblem::ValueNotOfKind:
    case SelectionProblem::PartNotOfKind: {
        const int n = std::stoi(error.Detail());
        why = EngineWords::tr("field %1 holds %2").arg(n).arg(ValueKindWords(n));
        if (error.Problem() == SelectionProblem::PartNotOfKind)
            why = EngineWords::tr("%1, or with ^= and *= a part of one").arg(why);
        break;
    }
    }
    return EngineWords::tr("condition \"%1\": %2").arg(Shown(error.Condition()), why);
}

QString NeverMatchWords(const NeverMatch& why, Charset set) {
    const auto Shown = [set](const std::string& bytes) { return FromCharsetBytes(bytes, set); };
    QString value = QStringLiteral("\"%1\"").arg(Shown(why.Value));
    if (why.ReadAs != why.Value)
        value = EngineWords::tr("%1 (read as \"%2\")").arg(value, Shown(why.ReadAs));
    const QString holds = EngineWords::tr("field %1 holds %n character(s)", nullptr, static_cast<int>(why.Width)).arg(why.Field);
    return EngineWords::tr("condition '%1' can never match: %2, the value %3 has %n character(s)", nullptr,
                           static_cast<int>(why.ReadAs.size()))
        .arg(Shown(why.Condition), holds, value);
}

QString FieldMeaningText(const FieldMeaning& meaning, Charset set) {
    const auto Shown = [set](const std::string& bytes) { return FromCharsetBytes(bytes, set); };
    QString words;
    switch (meaning.Kind) {
    case FieldKind::Date:
        words = meaning.Shown.empty() ? EngineWords::tr("date") : EngineWords::tr("date %1").arg(Shown(meaning.Shown));
        break;
    case FieldKind::Time:
        words = meaning.Shown.empty() ? EngineWords::tr("time") : EngineWords::tr("time %1").arg(Shown(meaning.Shown));
        break;
    case FieldKind::Binary:
        words = meaning.Shown.empty() ? EngineWords::tr("4 binary bytes in hex")
                                      : EngineWords::tr("4 binary bytes, hex %1").arg(Shown(meaning.Shown));
        break;
    case FieldKind::Digits:
        words = EngineWords::tr("digits");
        break;
    case FieldKind::Text:
        words = EngineWords::tr("text");
        break;
    }
    if (meaning.Value.empty())
        return words;
    return EngineWords::tr("%1, value %2").arg(words, Shown(meaning.Value));
}

QString FieldNamesErrorText(const FieldNamesError& error) {
    return EngineWords::tr("%1: must hold 14 non-empty lines, one field name each; it holds %n", nullptr,
                           static_cast<int>(error.Lines()))
        .arg(QString::fromStdString(error.FileName()));
}
