#pragma once
// The grid's cell texts, formatted without the general formatters' string work: a grid paints
// thousands of cells, and the locale-driven date and amount formatting dominated a first screen.
// The texts are the same as objdb::displayText's.

#include "objdb/amount.h"

#include <QDate>
#include <QString>

namespace objdb::CellFormat {

// "1.234,50", "-0,50": `decimals` (0..4) decimals, rounded half away from zero, Italian separators;
// "96.814" with none.
QString amountText(Amount amount, int decimals = 2);
// "07/03/2005"; "" for an invalid date.
QString dateText(const QDate &date);

// The same texts written into a caller's buffer, for writers of many values (exports): no string is
// made. They return the number of characters written.
inline constexpr int kMaxAmountChars = 32;
int writeAmount(char16_t *out, Amount amount, int decimals = 2);     // room for kMaxAmountChars
int writeDate(char16_t *out, const QDate &date);                      // room for 10; -1 for a year
                                                                      // outside 1..9999 (use dateText)

} // namespace objdb::CellFormat
