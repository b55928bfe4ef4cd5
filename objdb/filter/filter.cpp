#include "objdb/filter/filter.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/filter/filterstore.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/query/criterion.h"
#include "objdb/types.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace objdb {

namespace {

bool isTextType(int type)
{
    return type == TypeText || type == TypeLongText || type == TypeReference;
}

[[noreturn]] void refuseValue(const FieldDef &field, const QString &expected)
{
    fail(QStringLiteral("Valore non valido per il campo %1: atteso %2.").arg(field.caption, expected));
}

// The literal of a value typed or shown for a column of the given type.
QString valueLiteral(const FieldDef &field, const QString &op, const QString &value)
{
    if (isTextType(field.type))
        return op == QLatin1String("Like") ? query::patternLiteral(value) : query::textLiteral(value);
    const QString text = value.trimmed();
    switch (field.type) {
    case TypeDate: {
        const FieldText::Parsed parsed = FieldText::parseDate(text);
        if (!parsed.ok() || parsed.value.isNull())
            refuseValue(field, QStringLiteral("una data (gg/mm/aaaa)"));
        return query::literal(parsed.value, TypeDate);
    }
    case TypeYesNo: {
        const QString lower = text.toLower();
        if (lower == QStringLiteral("sì") || lower == QLatin1String("si") || lower == QLatin1String("true")
            || lower == QLatin1String("vero"))
            return QStringLiteral("True");
        if (lower == QLatin1String("no") || lower == QLatin1String("false") || lower == QLatin1String("falso"))
            return QStringLiteral("False");
        refuseValue(field, QStringLiteral("Sì oppure No"));
    }
    default: {
        // Amounts, integers and numbers: Italian style, exact to the ten-thousandth.
        const FieldText::Parsed parsed = FieldText::parseAmount(text);
        if (!parsed.ok() || parsed.value.isNull())
            refuseValue(field, QStringLiteral("un numero"));
        return query::literal(parsed.value, TypeAmount);
    }
    }
}

QString joinText(FilterCondition::Join join)
{
    return join == FilterCondition::Join::Or ? QStringLiteral(" Or ") : QStringLiteral(" And ");
}

QString toJson(const QList<FilterCondition> &conditions)
{
    QJsonArray array;
    for (const FilterCondition &c : conditions)
        array.append(QJsonObject{{QStringLiteral("join"), c.join == FilterCondition::Join::Or ? "Or" : "And"},
                                 {QStringLiteral("column"), c.column},
                                 {QStringLiteral("op"), c.op},
                                 {QStringLiteral("value"), c.value}});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<FilterCondition> fromJson(const QString &text)
{
    QList<FilterCondition> conditions;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue &item : array) {
        const QJsonObject o = item.toObject();
        FilterCondition c;
        c.join = o.value(QStringLiteral("join")).toString() == QLatin1String("Or") ? FilterCondition::Join::Or
                                                                                    : FilterCondition::Join::And;
        c.column = o.value(QStringLiteral("column")).toString();
        c.op = o.value(QStringLiteral("op")).toString();
        c.value = o.value(QStringLiteral("value")).toString();
        conditions.append(c);
    }
    return conditions;
}

Database &databaseOf(const DataContext &context)
{
    const auto db = context.database();
    if (!db)
        fail(QStringLiteral("L'archivio non è aperto."));
    return *db;
}

} // namespace

Filter::Filter(std::shared_ptr<DataContext> context, const TableDef &table)
    : Filter(context, table, context->viewSchema(table)->starFields())
{
}

Filter::Filter(std::shared_ptr<DataContext> context, const TableDef &table, const QList<FieldDef> &fields)
    : m_context(std::move(context)), m_table(table)
{
    // A computed field with values of its own (placeholders) cannot be named in a criterion.
    for (const FieldDef &field : fields)
        if (!field.secret && !(field.origin == FieldDef::Origin::Computed && field.sql.contains(QLatin1Char('?'))))
            m_columns.append(field);
}

QString Filter::TableName() const
{
    return m_table.name;
}

QStringList Filter::operators()
{
    return {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"), QStringLiteral(">"),
            QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("Like")};
}

const FieldDef *Filter::column(const QString &name) const
{
    for (const FieldDef &field : m_columns)
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    return nullptr;
}

QString Filter::conditionText(const FilterCondition &condition) const
{
    const FieldDef *field = column(condition.column);
    if (!field)
        fail(QStringLiteral("Il campo %1 non è presente nella tabella %2.").arg(condition.column, m_table.name));
    if (!operators().contains(condition.op))
        fail(QStringLiteral("Operatore non valido: %1.").arg(condition.op));
    if (condition.op == QLatin1String("Like") && !isTextType(field->type))
        fail(QStringLiteral("L'operatore Like si usa solo con i campi di testo."));
    return field->name + QLatin1Char(' ') + condition.op + QLatin1Char(' ')
        + valueLiteral(*field, condition.op, condition.value);
}

QString Filter::Criterion() const
{
    QString text;
    for (const FilterCondition &condition : m_conditions) {
        if (!text.isEmpty())
            text += joinText(condition.join);
        text += conditionText(condition);
    }
    return text;
}

void Filter::check(const QString &criterion) const
{
    const auto schema = m_context->viewSchema(m_table);
    query::Criterion::parse(criterion).render([&](const QString &name) { return schema->resolve(name, m_columns); },
                                             schema->dialect());
}

void Filter::AddCondition(const QString &column, const QString &value)
{
    FilterCondition condition;
    condition.column = column;
    condition.value = value;
    m_conditions.append(condition);
}

void Filter::RemoveConditions(const QString &column)
{
    m_conditions.removeIf([&](const FilterCondition &c) { return c.column.compare(column, Qt::CaseInsensitive) == 0; });
    // A first condition never joins anything: the one that takes its place starts with And.
    if (!m_conditions.isEmpty())
        m_conditions.first().join = FilterCondition::Join::And;
}

bool Filter::HasConditionOn(const QString &field) const
{
    return std::any_of(m_conditions.cbegin(), m_conditions.cend(),
                       [&](const FilterCondition &c) { return c.column.compare(field, Qt::CaseInsensitive) == 0; });
}

QString Filter::SavedNames() const
{
    return FilterStore::names(databaseOf(*m_context), m_table.name, false).join(QLatin1Char('|'));
}

bool Filter::Exists(const QString &name, bool predefined) const
{
    return FilterStore::exists(databaseOf(*m_context), m_table.name, name, predefined);
}

bool Filter::Load(const QString &name, bool predefined)
{
    const auto stored = FilterStore::load(databaseOf(*m_context), m_table.name, name, predefined);
    if (!stored)
        return false;
    m_conditions = fromJson(*stored);
    m_name = name;
    return true;
}

bool Filter::Save(const QString &name, bool predefined, bool overwrite)
{
    if (!FilterStore::save(databaseOf(*m_context), m_table.name, name, predefined, toJson(m_conditions), overwrite))
        return false;
    m_name = name;
    return true;
}

bool Filter::Delete(const QString &name, bool predefined)
{
    return FilterStore::remove(databaseOf(*m_context), m_table.name, name, predefined);
}

} // namespace objdb

// The filter objects of a table and of a data source's table.
namespace objdb {

std::shared_ptr<Filter> Table::NewFilter() const
{
    return std::make_shared<Filter>(m_context.shared_from_this(), m_def);
}

std::shared_ptr<objdb::Filter> DataSource::NewFilter() const
{
    return std::make_shared<objdb::Filter>(context(), tableDef(), fields());
}

} // namespace objdb
