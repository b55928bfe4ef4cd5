#include "objdb/viewschema.h"

#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

namespace objdb {

namespace {

QString column(const QString &alias, const QString &name)
{
    return alias + QLatin1Char('.') + SqlDialect::quoteIdentifier(name);
}

QString formatFor(int type)
{
    switch (type) {
    case TypeAmount: return QStringLiteral("#,##0.00");
    case TypeDate: return QStringLiteral("dd/mm/yyyy");
    case TypeFloat: return QStringLiteral("#.000");
    default: return QString();
    }
}

} // namespace

QString ViewSchema::captionFor(const QString &name)
{
    QString caption;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('_')) {
            caption += QLatin1Char(' ');
            continue;
        }
        if (i > 0 && c.isUpper() && name.at(i - 1).isLower())
            caption += QLatin1Char(' ');
        caption += c;
    }
    return caption.simplified();
}

ViewSchema::ViewSchema(const QList<TableDef> &tables, const TableDef &table, const SqlDialect &dialect)
    : m_tables(tables), m_table(table), m_dialect(dialect)
{
    m_from = SqlDialect::quoteIdentifier(table.name) + QStringLiteral(" AS t0");

    FieldDef key;
    key.name = QStringLiteral("OID");
    key.caption = QStringLiteral("OID");
    key.type = TypeInteger;
    key.display = 0;
    key.sql = QStringLiteral("t0.OID");
    key.origin = FieldDef::Origin::Key;
    key.readOnly = true;
    m_star.append(key);

    for (const auto &c : table.columns)
        m_star.append(makeColumnField(c, QStringLiteral("t0"), FieldDef::Origin::Own));

    int n = 0;
    for (const auto &ref : table.references) {
        const QString alias = QStringLiteral("r%1").arg(n++);
        const TableDef *target = findTableDef(tables, ref.table);
        if (!target)
            fail(QStringLiteral("La tabella %1 fa riferimento alla tabella sconosciuta %2.").arg(table.name, ref.table));
        m_from += QStringLiteral(" LEFT JOIN %1 AS %2 ON %2.OID = t0.%3")
                      .arg(SqlDialect::quoteIdentifier(target->name), alias, SqlDialect::quoteIdentifier(ref.name));
        m_joins.append({alias, target, ref.name, false});
        addReferenceFields(ref, alias);
    }

    if (!table.identity.ParentTable.isEmpty()) {
        m_parent = findTableDef(tables, table.identity.ParentTable);
        if (!m_parent)
            fail(QStringLiteral("La tabella %1 ha come contenitore la tabella sconosciuta %2.")
                     .arg(table.name, table.identity.ParentTable));
        FieldDef link;
        link.name = table.parentLinkColumn();
        link.caption = captionFor(link.name);
        link.type = TypeInteger;
        link.display = 0;
        link.sql = column(QStringLiteral("t0"), link.name);
        link.origin = FieldDef::Origin::ParentLink;
        link.column = link.name;
        m_star.append(link);

        m_from += QStringLiteral(" LEFT JOIN %1 AS p ON p.OID = t0.%2")
                      .arg(SqlDialect::quoteIdentifier(m_parent->name), SqlDialect::quoteIdentifier(link.name));
        m_joins.append({QStringLiteral("p"), m_parent, QString(), true});
        for (const auto &c : m_parent->columns) {
            if (table.column(c.name))
                continue; // the child's own column wins; the parent's stays reachable qualified
            m_star.append(makeColumnField(c, QStringLiteral("p"), FieldDef::Origin::Parent));
        }
        int m = 0;
        for (const auto &ref : m_parent->references) {
            const QString alias = QStringLiteral("pr%1").arg(m++);
            const TableDef *target = findTableDef(tables, ref.table);
            if (!target)
                fail(QStringLiteral("La tabella %1 fa riferimento alla tabella sconosciuta %2.").arg(m_parent->name, ref.table));
            m_from += QStringLiteral(" LEFT JOIN %1 AS %2 ON %2.OID = p.%3")
                          .arg(SqlDialect::quoteIdentifier(target->name), alias, SqlDialect::quoteIdentifier(ref.name));
            m_joins.append({alias, target, ref.name, true});
            addReferenceFields(ref, alias);
        }
    }
}

FieldDef ViewSchema::makeColumnField(const ColumnDef &c, const QString &prefix, FieldDef::Origin origin) const
{
    FieldDef f;
    f.name = c.name;
    f.caption = captionFor(c.name);
    f.type = c.type;
    f.size = c.type == TypeText ? c.length : 0;
    f.secret = c.options.visibility == ColumnVisibility::Secret;
    f.privateField = c.options.visibility == ColumnVisibility::Private;
    f.readOnly = c.options.access == ColumnAccess::ReadOnlyInPanels || origin == FieldDef::Origin::Parent;
    f.noOrder = f.secret;
    f.display = f.secret ? -1 : 1;
    f.format = formatFor(c.type);
    f.sql = column(prefix, c.name);
    f.origin = origin;
    f.column = c.name;
    return f;
}

void ViewSchema::addReferenceFields(const ReferenceDef &ref, const QString &alias)
{
    const TableDef *target = findTableDef(m_tables, ref.table);
    const ColumnDef *display = target->column(ref.displayColumn);
    const ColumnDef *key = target->column(ref.keyColumn);
    if (!display || !key)
        fail(QStringLiteral("Il riferimento %1 usa colonne sconosciute di %2.").arg(ref.name, ref.table));

    FieldDef shown;
    shown.name = ref.name;
    shown.caption = captionFor(ref.name);
    shown.type = TypeReference;
    shown.size = display->length;
    shown.sql = column(alias, display->name);
    shown.origin = FieldDef::Origin::Reference;
    shown.column = ref.name;
    m_star.append(shown);

    FieldDef code;
    code.name = QStringLiteral("Cod_") + ref.name;
    code.caption = QStringLiteral("Cod ") + captionFor(ref.name);
    code.type = key->type;
    code.size = key->type == TypeText ? key->length : 0;
    code.format = formatFor(key->type);
    code.sql = column(alias, key->name);
    code.origin = FieldDef::Origin::ReferenceKey;
    code.column = ref.name;
    code.readOnly = true;
    m_star.append(code);
}

const ViewSchema::Join *ViewSchema::joinForTable(const QString &tableName) const
{
    const Join *found = nullptr;
    for (const auto &j : m_joins) {
        if (j.table->name.compare(tableName, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            fail(QStringLiteral("Il nome %1 è ambiguo in questa vista.").arg(tableName));
        found = &j;
    }
    return found;
}

std::optional<FieldDef> ViewSchema::fieldFor(const QString &name) const
{
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        for (const auto &f : m_star)
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                return f;
        return std::nullopt;
    }
    const QString tableName = name.left(dot).trimmed();
    const QString columnName = name.mid(dot + 1).trimmed();
    if (tableName.compare(m_table.name, Qt::CaseInsensitive) == 0) {
        if (columnName.compare(QStringLiteral("OID"), Qt::CaseInsensitive) == 0)
            return m_star.first();
        if (const ColumnDef *c = m_table.column(columnName))
            return makeColumnField(*c, QStringLiteral("t0"), FieldDef::Origin::Own);
        return std::nullopt;
    }
    if (columnName.compare(QStringLiteral("OID"), Qt::CaseInsensitive) == 0) {
        // The identifier of a row the view's row refers to, named by the reference ("Compagnia.OID")
        // or by the table when only one link leads there: the stored link, for criteria on related rows.
        const Join *join = nullptr;
        for (const auto &j : m_joins)
            if (!j.fromParent && j.viaReference.compare(tableName, Qt::CaseInsensitive) == 0)
                join = &j;
        if (!join)
            join = joinForTable(tableName);
        if (!join)
            return std::nullopt;
        FieldDef key;
        key.name = tableName + QStringLiteral(".OID");
        key.caption = QStringLiteral("OID");
        key.type = TypeInteger;
        key.display = 0;
        key.sql = column(join->alias, QStringLiteral("OID"));
        key.origin = FieldDef::Origin::Joined;
        key.readOnly = true;
        return key;
    }
    const Join *join = joinForTable(tableName);
    if (!join)
        return std::nullopt;
    const ColumnDef *c = join->table->column(columnName);
    if (!c)
        return std::nullopt;
    if (join->alias == QLatin1String("p"))
        return makeColumnField(*c, join->alias, FieldDef::Origin::Parent);
    FieldDef f = makeColumnField(*c, join->alias, FieldDef::Origin::Joined);
    f.readOnly = true;
    return f;
}

std::optional<query::FieldInfo> ViewSchema::resolve(const QString &name, const QList<FieldDef> &extra) const
{
    for (const auto &f : extra)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return query::FieldInfo{f.sql, f.type, {}};
    if (const auto f = fieldFor(name))
        return query::FieldInfo{f->sql, f->type, {}};
    return std::nullopt;
}

QList<FieldDef> ViewSchema::fieldsFor(const QString &fieldList, QVariantList &binds) const
{
    if (fieldList.trimmed().isEmpty())
        return m_star;
    const auto list = query::FieldList::parse(fieldList);
    QList<FieldDef> fields;
    auto append = [&fields](const FieldDef &f) {
        for (const auto &existing : fields)
            if (existing.name.compare(f.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("Il campo %1 compare due volte nell'elenco dei campi.").arg(f.name));
        fields.append(f);
    };
    for (const auto &item : list.items()) {
        switch (item.kind) {
        case query::SelectItem::Star:
            for (const auto &f : m_star)
                append(f);
            break;
        case query::SelectItem::Name: {
            auto f = fieldFor(item.name);
            if (!f)
                fail(QStringLiteral("Campo sconosciuto nell'elenco dei campi: %1").arg(item.name));
            if (!item.alias.isEmpty()) {
                f->name = item.alias;
                f->caption = captionFor(item.alias);
                f->readOnly = true;
                f->origin = FieldDef::Origin::Joined;
            } else if (f->origin == FieldDef::Origin::Joined || item.name.contains(QLatin1Char('.'))) {
                f->name = item.name.mid(item.name.lastIndexOf(QLatin1Char('.')) + 1).trimmed();
                f->caption = captionFor(f->name);
                f->origin = FieldDef::Origin::Joined;
                f->readOnly = true;
            }
            // A name the star already brought needs no second column.
            bool duplicate = false;
            for (const auto &existing : fields)
                if (existing.name.compare(f->name, Qt::CaseInsensitive) == 0 && existing.sql == f->sql)
                    duplicate = true;
            if (!duplicate)
                append(*f);
            break;
        }
        case query::SelectItem::Expression: {
            const auto info = query::FieldList::renderExpression(
                item, [this](const QString &n) { return resolve(n); }, binds, m_dialect);
            FieldDef f;
            f.name = item.alias.isEmpty() ? item.text : item.alias;
            f.caption = captionFor(f.name);
            f.type = info.type;
            f.format = formatFor(info.type);
            f.sql = QLatin1Char('(') + info.sql + QLatin1Char(')');
            f.origin = FieldDef::Origin::Computed;
            f.readOnly = true;
            append(f);
            break;
        }
        }
    }
    return fields;
}

std::shared_ptr<const FieldSet> ViewSchema::fieldSet(const QString &fieldList) const
{
    constexpr int kMaxFieldSets = 64; // far more than the program's views; a bound all the same
    if (const auto found = m_fieldSets.constFind(fieldList); found != m_fieldSets.constEnd())
        return found.value();
    auto set = std::make_shared<FieldSet>();
    set->fields = fieldsFor(fieldList, set->binds);
    for (int i = 0; i < set->fields.size(); ++i) {
        const FieldDef &field = set->fields.at(i);
        qsizetype column = field.origin == FieldDef::Origin::Computed ? -1 : set->selectColumns.indexOf(field.sql);
        if (column >= 0 && set->fields.at(set->firstFieldOf.at(column)).type != field.type)
            column = -1;
        if (column < 0) {
            column = set->selectColumns.size();
            set->selectColumns.append(field.sql);
            set->firstFieldOf.append(i);
        }
        set->columnOf.append(int(column));
    }
    if (m_fieldSets.size() >= kMaxFieldSets)
        m_fieldSets.clear();
    m_fieldSets.insert(fieldList, set);
    return set;
}

} // namespace objdb
