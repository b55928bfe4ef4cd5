#pragma once
// Numbers written as the display formats of the data library ask: "#,##0.00" (grouped, two
// decimals), "#,##0", "#.000" (no digit before the separator below 1, three decimals) and the
// general format "". The separators are the user's locale's.

#include <QString>
#include <QVariant>

// The decimals a format shows; the general format shows up to four.
int FormatDecimals(const QString &format);

// An Amount, a whole number or a double in the format; Null gives "".
QString FormatNumber(const QVariant &value, const QString &format);
