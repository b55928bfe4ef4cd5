#pragma once
// The texts of a report's values by their display formats, with Italian separators.

#include <QString>
#include <QVariant>

namespace objdb::report {

// Formats a value of a field type (objdb::TypeCode):
// - a date pattern as QDate writes it ("d/MM/yyyy" gives "7/03/2005");
// - a number pattern of '#', '0', ',' and '.' ("#,#0.00", "#,##0.00", "#,##"): a ',' asks for
//   thousands grouping (shown "."), the '0's after '.' are the decimals (shown after ","), a '0'
//   before it keeps a zero in front, so "#,##" shows 0 as "" and 1234 as "1.234". Amounts are
//   rounded half away from zero; a text that is a whole number ("07") is formatted as that number,
//   any other text is left as it is;
// - "" the value's own text (yes/no "Sì"/"No", amounts "1.234,50", dates "dd/MM/yyyy").
// Null is "".
QString formatValue(const QVariant &value, int type, const QString &format);

// Whether a format writes numbers (numbers are aligned to the right).
bool isNumberFormat(const QString &format);

} // namespace objdb::report
