#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// Sizes and counts in our windows, grouped as the language of their texts
// writes them: "1 073 741 824 байт" in Russian, "1,073,741,824 bytes" in
// English. The go-to targets (offsets, blocks, records, lines) stay plain,
// as they are typed back.

// The locale of the installed translation: Russian under ours, English
// without it.
QLocale TextLocale();

// n grouped in TextLocale().
QString Grouped(std::uint64_t n);

// What to pass as the n of a "%n" text for a count that may pass an int:
// the count itself, or a stand-in that takes the same plural form (the
// form goes by the last two digits).
int PluralStandIn(std::uint64_t n);

// text, translated with n's stand-in for "%n", with that number written as
// n grouped: WithCount(tr("%n bytes", nullptr, PluralStandIn(n)), n).
QString WithCount(const QString& text, std::uint64_t n);
