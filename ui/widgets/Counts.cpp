#include "Counts.h"

#include <QCoreApplication>

#include <climits>

QLocale TextLocale() {
    //: The locale whose digit grouping the sizes take: ru_RU for Russian.
    return QLocale(QCoreApplication::translate("Counts", "en_US"));
}

QString Grouped(std::uint64_t n) {
    QLocale locale = TextLocale();
    locale.setNumberOptions({});  // grouped, whatever the locale's default
    return locale.toString(static_cast<qulonglong>(n));
}

int PluralStandIn(std::uint64_t n) { return n <= INT_MAX ? static_cast<int>(n) : static_cast<int>(n % 100) + 100; }

QString WithCount(const QString& text, std::uint64_t n) {
    // The number as a whole: not part of a longer one, nor the digit of a
    // "%1" still to be filled.
    const QString plain = QString::number(PluralStandIn(n));
    for (qsizetype at = text.indexOf(plain); at >= 0; at = text.indexOf(plain, at + 1)) {
        const qsizetype end = at + plain.size();
        if ((at > 0 && (text[at - 1].isDigit() || text[at - 1] == QLatin1Char('%'))) ||
            (end < text.size() && text[end].isDigit()))
            continue;
        return QString(text).replace(at, plain.size(), Grouped(n));
    }
    return text;
}
