#include "objdb/source/viewclauses.h"

#include "objdb/error.h"
#include "objdb/sqldialect.h"

#include <QRegularExpression>

namespace objdb::source {

namespace {

QString sortText(const QString &order, const QString &fallback)
{
    return order.trimmed().isEmpty() ? fallback : query::SortOrder::parse(order).toText();
}

} // namespace

ViewClauses::ViewClauses(std::shared_ptr<const ViewSchema> schema, std::shared_ptr<const FieldSet> fields,
                         QString baseFilter, const QString &order)
    : m_schema(std::move(schema)), m_fields(std::move(fields)), m_baseFilter(std::move(baseFilter))
{
    m_sort = sortText(order, defaultSort());
    m_where = renderWhere();
    m_orderBy = renderOrder();
}

QString ViewClauses::defaultSort() const
{
    const auto &indexes = m_schema->table().indexes;
    return indexes.isEmpty() ? QString() : indexes.first().column;
}

// Each change is made on a copy, which replaces the clauses once everything rendered.
void ViewClauses::setFilter(const QString &criterion)
{
    ViewClauses next = *this;
    next.m_filter = criterion.trimmed();
    next.m_where = next.renderWhere();
    *this = std::move(next);
}

void ViewClauses::setSort(const QString &order)
{
    ViewClauses next = *this;
    next.m_sort = sortText(order, defaultSort());
    next.m_orderBy = next.renderOrder();
    *this = std::move(next);
}

void ViewClauses::setSelection(const QString &filter, const QString &order)
{
    ViewClauses next = *this;
    next.m_selection = filter.trimmed();
    next.m_sort = sortText(order, m_sort);
    next.m_where = next.renderWhere();
    next.m_orderBy = next.renderOrder();
    *this = std::move(next);
}

std::optional<query::FieldInfo> ViewClauses::resolve(const QString &name) const
{
    for (const auto &f : m_fields->fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (f.origin == FieldDef::Origin::Computed && f.sql.contains(QLatin1Char('?')))
            fail(QStringLiteral("Il campo calcolato %1 non può essere usato in un criterio.").arg(name));
        return query::FieldInfo{f.sql, f.type, {}};
    }
    return m_schema->resolve(name);
}

query::Sql ViewClauses::renderWhere() const
{
    query::Sql where;
    QStringList parts;
    const auto resolver = [this](const QString &n) { return resolve(n); };
    for (const QString &criterion : {m_baseFilter, m_filter, m_selection}) {
        if (criterion.trimmed().isEmpty())
            continue;
        const auto rendered = query::Criterion::parse(criterion).render(resolver, m_schema->dialect());
        if (rendered.text.isEmpty())
            continue;
        parts.append(QLatin1Char('(') + rendered.text + QLatin1Char(')'));
        where.binds += rendered.binds;
    }
    if (!parts.isEmpty())
        where.text = QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return where;
}

QString ViewClauses::renderOrder()
{
    QStringList terms;
    m_orderTerms.clear();
    const auto order = query::SortOrder::parse(m_sort);
    for (const auto &key : order.keys()) {
        const auto info = resolve(key.field);
        if (!info)
            fail(QStringLiteral("Campo sconosciuto nell'ordinamento: %1").arg(key.field));
        terms.append(m_schema->dialect().orderTerm(info->sql, key.descending));
        m_orderTerms.append({info->sql, key.descending});
    }
    terms.append(QStringLiteral("t0.OID"));
    m_orderTerms.append({QStringLiteral("t0.OID"), false});
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

query::Sql ViewClauses::whereAlso(const QString &criterion) const
{
    query::Sql where = m_where;
    const auto rendered = query::Criterion::parse(criterion).render([this](const QString &n) { return resolve(n); },
                                                                 m_schema->dialect());
    if (!rendered.text.isEmpty()) {
        where.text += (where.text.isEmpty() ? QStringLiteral(" WHERE (") : QStringLiteral(" AND (")) + rendered.text
                      + QLatin1Char(')');
        where.binds += rendered.binds;
    }
    return where;
}

bool ViewClauses::orderFollowsAnIndex() const
{
    const QString &first = m_orderTerms.first().sql;
    if (first == QLatin1String("t0.OID"))
        return true;
    for (const auto &index : m_schema->table().indexes) {
        const auto info = m_schema->resolve(index.column);
        if (info && info->sql == first)
            return true;
    }
    return false;
}

// When the clauses name columns of the table alone, the joins are left out: SQLite keeps the LEFT
// JOINs of a parent row and joins every row, which made the ordered key list of a big table ten
// times slower. Any other alias (or anything looking like one) keeps the full clause; every join is
// a LEFT JOIN on a primary key, so the rows and their order are the same either way.
QString ViewClauses::keyFrom(const QString &clauses) const
{
    static const QRegularExpression qualifier(QStringLiteral("\\b(\\w+)\\s*\\."));
    for (auto it = qualifier.globalMatch(clauses); it.hasNext();)
        if (it.next().captured(1) != QLatin1String("t0"))
            return m_schema->fromClause();
    return sqlName(m_schema->table().name) + QStringLiteral(" AS t0");
}

} // namespace objdb::source
