#pragma once
// A criterion from a value as a grid shows it: "field = literal", or "field Like literal" when the
// text holds the wildcard. The text is read by the field's type, Italian style.

#include <QString>

namespace objdb {
struct FieldDef;
}

namespace objdb::source {

// "False" when the text is not a value of the field's type; wildcards only make sense in texts.
QString buildCriterion(const FieldDef &field, const QString &text, const QString &wildcard);

} // namespace objdb::source
