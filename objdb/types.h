#pragma once
#include <QDate>
#include <QString>
#include <QVariant>

namespace objdb {

// Field type codes as the definitions and field descriptions use them.
enum TypeCode : int {
    TypeText = 0,
    TypeLongText = 1,
    TypeReference = 2,   // a reference shown by its display column
    TypeInteger = 11,    // OID and OID_* link columns
    TypeYesNo = 14,
    TypeFloat = 16,
    TypeDate = 17,
    TypeAmount = 20,
};

// Converts a program value (QString, bool, QDate, Amount, qint64; Null) of the given type into
// what the database stores: text, 0/1, ISO date text, integer ten-thousandths. Throws objdb::Error
// (n = 124, Italian message naming `column`) when the value does not fit the type.
QVariant toStorage(const QVariant &value, int type, const QString &column = QString());
// Converts a stored value back into a program value of the given type; Null stays Null.
QVariant fromStorage(const QVariant &stored, int type);

// Display formats: amounts "#,##0.00" Italian style, dates "dd/MM/yyyy".
QString displayText(const QVariant &value, int type);

// Dates in criteria are written #mm/dd/yyyy#.
QString criterionDate(const QDate &date);
QString isoDate(const QDate &date);

} // namespace objdb
