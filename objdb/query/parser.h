#pragma once
// Recursive-descent parsers of the criterion language, field lists and sort orders.

#include "objdb/query/ast.h"

#include <QList>

namespace objdb::query {

inline constexpr int kMaxNesting = 100; // parentheses and Not deeper than this are refused, not recursed into

// nullptr for blank text. Throws objdb::Error ("Criterio non valido alla posizione n: …").
NodePtr parseCriterionText(const QString &text);
// "" gives a single "*". Throws objdb::Error ("Elenco di campi non valido alla posizione n: …").
QList<SelectItem> parseFieldListText(const QString &text);
// "" gives no keys. Throws objdb::Error ("Ordinamento non valido alla posizione n: …").
QList<SortKey> parseSortOrderText(const QString &text);

} // namespace objdb::query
