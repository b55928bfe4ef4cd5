#pragma once
// Recursive-descent parsers of the criterion language, field lists and sort orders.

#include "objdb/query/ast.h"

#include <QList>

namespace objdb::query {

// What SQLite can still compile, with room for the view's own condition and a search around the
// text: its parser overflows at about 27 nested groups, and its expression tree at 1,000 terms in
// a row. Deeper or longer texts are refused here, in Italian, before any SQL is built.
inline constexpr int kMaxNesting = 20; // levels of parentheses, Not and unary signs
inline constexpr int kMaxTerms = 500;  // conditions of one criterion; operands of one field list

// nullptr for blank text. Throws objdb::Error ("Criterio non valido alla posizione n: …").
NodePtr parseCriterionText(const QString &text);
// "" gives a single "*". Throws objdb::Error ("Elenco di campi non valido alla posizione n: …").
QList<SelectItem> parseFieldListText(const QString &text);
// "" gives no keys. Throws objdb::Error ("Ordinamento non valido alla posizione n: …").
QList<SortKey> parseSortOrderText(const QString &text);

} // namespace objdb::query
