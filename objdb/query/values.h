#pragma once
// Turning criterion literals into bound values.

#include "objdb/query/ast.h"

#include <QVariant>

namespace objdb::query {

// The stored form of `literal` compared with a field of type code `type` (named `field` in messages).
// Throws objdb::Error naming the literal's position when the value does not fit the type.
QVariant literalStorage(const Node &literal, int type, const QString &field);
// The bound value of a literal that no field gives a type (literal compared with literal).
QVariant literalNatural(const Node &literal);
// A number literal as an integer, when it is one.
std::optional<qint64> integralNumber(const QString &digits);
// A '*' pattern as a LIKE pattern over folded text: '*' → '%', and '%', '_', '\' escaped with '\'.
QString likePattern(const QString &pattern);
// What a field of the type expects, for messages ("un importo").
QString expectedValue(int type);

} // namespace objdb::query
