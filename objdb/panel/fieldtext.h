#pragma once
// Conversions between what a panel input shows and the values a data source holds.

#include <QString>
#include <QVariant>
#include <optional>

namespace objdb::FieldText {

// An amount for an input: Italian grouping, two decimals at least, up to four when the value has them.
QString amount(const QVariant &value);
// A date for an input: "dd/MM/yyyy"; "" for Null.
QString date(const QVariant &value);

// The value typed in an input, or an Italian message when the text does not fit the type.
struct Parsed {
    QVariant value;       // Null for an empty input
    QString error;        // set when the text was refused
    bool ok() const { return error.isEmpty(); }
};
// Italian style as Amount::parse reads it: "1.234,56", "1.234" (a thousand and more), "10,5";
// "10.5" too, its "." being no thousands separator. "" is Null.
Parsed parseAmount(const QString &text);
// "dd/MM/yyyy" (one-digit day and month allowed); "" is Null.
Parsed parseDate(const QString &text);

} // namespace objdb::FieldText
