#include "objdb/source/writechecks.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/source/editrow.h"
#include "objdb/source/references.h"
#include "objdb/source/sourcescope.h"
#include "objdb/types.h"

namespace objdb::source {

namespace {

bool isBlank(const QVariant &value, int type)
{
    return isNull(value) || (type == TypeText && value.toString().trimmed().isEmpty());
}

} // namespace

FieldDef WriteChecks::writableField(const QString &name) const
{
    FieldDef found;
    if (const FieldDef *f = m_scope.field(name)) {
        found = *f;
    } else {
        const auto other = m_scope.schema->fieldFor(name);
        if (!other)
            fail(QStringLiteral("Campo sconosciuto in %1: %2").arg(m_scope.table.caption(), name));
        found = *other;
    }
    switch (found.origin) {
    case FieldDef::Origin::Own:
    case FieldDef::Origin::Parent:
    case FieldDef::Origin::Reference:
    case FieldDef::Origin::ParentLink:
        return found;
    default:
        fail(QStringLiteral("Il campo %1 non può essere modificato.").arg(found.name));
    }
}

QVariant WriteChecks::normalise(const FieldDef &field, const QVariant &value) const
{
    if (field.origin == FieldDef::Origin::Reference)
        return m_references.checkedReference(field, value);
    QVariant stored = toStorage(value, field.type, field.caption); // the caption names it in a refusal
    if (const ColumnDef *c = field.origin == FieldDef::Origin::Own ? m_scope.table.column(field.column) : nullptr;
        c && c->options.required) {
        if (field.type == TypeText && !isNull(stored))
            stored = stored.toString().trimmed();
        if (isBlank(stored, field.type))
            refuseMissing(*c);
    }
    if (field.type == TypeText && field.size > 0 && stored.toString().size() > field.size)
        fail(QStringLiteral("Il testo del campo %1 supera la lunghezza massima di %2 caratteri.")
                 .arg(field.caption)
                 .arg(field.size));
    return fromStorage(stored, field.type);
}

void WriteChecks::refuseMissingValues(const EditRow &row) const
{
    for (const auto &c : m_scope.table.columns)
        if (c.options.required && isBlank(row.own.value(c.name), c.type))
            refuseMissing(c);
}

void WriteChecks::refuseMissing(const ColumnDef &column) const
{
    fail(QStringLiteral("Il campo %1 è obbligatorio.").arg(m_scope.captionOf(column.name)));
}

} // namespace objdb::source
