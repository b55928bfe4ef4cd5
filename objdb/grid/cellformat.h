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

} // namespace objdb::CellFormat
