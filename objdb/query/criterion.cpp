#include "objdb/query/criterion.h"

#include "objdb/error.h"
#include "objdb/query/parser.h"
#include "objdb/query/renderer.h"

#include <QRegularExpression>

namespace objdb::query {

namespace {

void collectNames(const Node &node, QStringList &names)
{
    if (node.kind == Node::Kind::Field && !names.contains(node.name))
        names.append(node.name);
    for (const NodePtr &child : node.children)
        collectNames(*child, names);
}

// A sort key's name as the sort syntax reads it back: parts that are not plain names get brackets.
QString writtenName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[\\w]+$"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList parts = name.split(QLatin1Char('.'));
    for (QString &part : parts) {
        if (!plain.match(part).hasMatch() || part.at(0).isDigit())
            part = QLatin1Char('[') + part + QLatin1Char(']');
    }
    return parts.join(QLatin1Char('.'));
}

} // namespace

Criterion::Criterion() = default;

Criterion Criterion::parse(const QString &text)
{
    Criterion criterion;
    criterion.m_root = parseCriterionText(text);
    return criterion;
}

bool Criterion::isEmpty() const
{
    return !m_root;
}

Sql Criterion::render(const Resolver &resolver, const SqlDialect &dialect) const
{
    if (!m_root)
        return Sql{};
    Renderer renderer(resolver, dialect, QStringLiteral("nel criterio"));
    return renderer.predicate(*m_root);
}

QStringList Criterion::fieldNames() const
{
    QStringList names;
    if (m_root)
        collectNames(*m_root, names);
    return names;
}

FieldList FieldList::parse(const QString &text)
{
    FieldList list;
    list.m_items = parseFieldListText(text);
    return list;
}

FieldInfo FieldList::renderExpression(const SelectItem &item, const Resolver &resolver, QVariantList &binds,
                                      const SqlDialect &dialect)
{
    Renderer renderer(resolver, dialect, QStringLiteral("nell'elenco dei campi"));
    FieldInfo info;
    Sql sql;
    switch (item.kind) {
    case SelectItem::Star:
        fail(QStringLiteral("'%1' non è un campo calcolato.").arg(item.text));
    case SelectItem::Name: {
        auto field = std::make_shared<Node>();
        field->kind = Node::Kind::Field;
        field->name = item.name;
        sql = renderer.expression(*field, info.type);
        break;
    }
    case SelectItem::Expression:
        if (!item.expression)
            fail(QStringLiteral("Campo calcolato vuoto: %1.").arg(item.text));
        sql = renderer.expression(*item.expression, info.type);
        break;
    }
    info.sql = sql.text;
    binds += sql.binds;
    return info;
}

SortOrder SortOrder::parse(const QString &text)
{
    SortOrder order;
    order.m_keys = parseSortOrderText(text);
    return order;
}

QString SortOrder::toText() const
{
    QStringList parts;
    for (const SortKey &key : m_keys)
        parts.append(writtenName(key.field) + (key.descending ? QStringLiteral(" DESC") : QString()));
    return parts.join(QStringLiteral(", "));
}

} // namespace objdb::query
