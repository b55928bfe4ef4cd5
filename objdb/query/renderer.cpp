#include "objdb/query/renderer.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/query/values.h"
#include "objdb/types.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <deque>

namespace objdb::query {

namespace {

const QString kCriterion = QStringLiteral("Criterio");

Sql text(const QString &sql)
{
    return Sql{sql, {}};
}

bool isSimpleSql(const QString &sql)
{
    static const QRegularExpression simple(QStringLiteral("^[\\w\".]+$"));
    return simple.match(sql).hasMatch();
}

bool likeAllowed(int type)
{
    switch (type) {
    case TypeYesNo:
    case TypeDate:
    case TypeAmount:
    case TypeInteger:
    case TypeFloat:
        return false;
    default:
        return true;
    }
}

SqlDialect::DatePart datePartOf(const QString &function)
{
    if (function == QLatin1String("Year"))
        return SqlDialect::DatePart::Year;
    if (function == QLatin1String("Month"))
        return SqlDialect::DatePart::Month;
    return SqlDialect::DatePart::Day;
}

} // namespace

void appendSql(Sql &into, const Sql &part)
{
    into.text += part.text;
    into.binds += part.binds;
}

Renderer::Renderer(const Resolver &resolver, const SqlDialect &dialect, QString where)
    : m_resolver(resolver), m_dialect(dialect), m_where(std::move(where))
{
}

FieldInfo Renderer::resolve(const Node &field)
{
    const auto found = m_fields.constFind(field.name);
    if (found != m_fields.constEnd())
        return *found;
    std::optional<FieldInfo> info = m_resolver ? m_resolver(field.name) : std::nullopt;
    if (!info || info->sql.isEmpty())
        fail(QStringLiteral("Campo sconosciuto %1: %2").arg(m_where, field.name));
    m_fields.insert(field.name, *info);
    return *info;
}

Sql Renderer::fieldSql(const Node &field)
{
    const FieldInfo info = resolve(field);
    return Sql{info.sql, info.binds};
}

std::optional<int> Renderer::operandType(const Node &operand)
{
    switch (operand.kind) {
    case Node::Kind::Field:
        return resolve(operand).type;
    case Node::Kind::Function:
        return int(TypeInteger);
    default:
        return std::nullopt;
    }
}

QString Renderer::operandName(const Node &operand) const
{
    if (operand.kind == Node::Kind::Function)
        return QStringLiteral("%1(%2)").arg(operand.op, operand.children.front()->name);
    return operand.name;
}

Sql Renderer::operandSql(const Node &operand)
{
    if (operand.kind == Node::Kind::Field)
        return fieldSql(operand);
    if (operand.kind == Node::Kind::Function) {
        const Node &field = *operand.children.front();
        const FieldInfo info = resolve(field);
        if (info.type != TypeDate)
            syntaxError(kCriterion, operand.position,
                        QStringLiteral("%1() si applica a un campo data, e %2 non lo è.").arg(operand.op, field.name));
        return Sql{m_dialect.datePart(datePartOf(operand.op), info.sql), info.binds};
    }
    return Sql{QStringLiteral("?"), {literalNatural(operand)}};
}

Sql Renderer::predicate(const Node &node)
{
    switch (node.kind) {
    case Node::Kind::And:
        return andChain(node);
    case Node::Kind::Or:
        return orChain(node);
    case Node::Kind::Not: {
        Sql sql = text(QStringLiteral("NOT ("));
        appendSql(sql, predicate(*node.children.front()));
        sql.text += QLatin1Char(')');
        return sql;
    }
    case Node::Kind::Compare:
        return compare(node);
    case Node::Kind::Like:
        return like(node);
    case Node::Kind::IsNull:
        return isNull(node);
    case Node::Kind::Bare:
        return bare(node);
    default:
        syntaxError(kCriterion, node.position, QStringLiteral("atteso un confronto."));
    }
}

Sql Renderer::compare(const Node &node)
{
    const Node &left = *node.children.at(0);
    const Node &right = *node.children.at(1);
    const auto leftType = operandType(left);
    const auto rightType = operandType(right);
    auto side = [&](const Node &operand, const std::optional<int> &otherType, const Node &other) {
        if (operand.kind == Node::Kind::Literal && otherType)
            return Sql{QStringLiteral("?"), {literalStorage(operand, *otherType, operandName(other))}};
        return operandSql(operand);
    };
    Sql sql = side(left, rightType, right);
    sql.text += QLatin1Char(' ') + node.op + QLatin1Char(' ');
    appendSql(sql, side(right, leftType, left));
    return sql;
}

Sql Renderer::like(const Node &node)
{
    const Node &field = *node.children.front();
    const FieldInfo info = resolve(field);
    if (!likeAllowed(info.type))
        syntaxError(kCriterion, node.position,
                    QStringLiteral("Like si applica ai campi di testo, e %1 non lo è.").arg(field.name));
    // SQLite's likeMatch writes the expression before the placeholder: the binds follow that order.
    Sql sql = text(m_dialect.likeMatch(info.sql, QStringLiteral("?")));
    sql.binds = info.binds;
    sql.binds.append(likePattern(node.text));
    if (node.negated)
        sql.text = QStringLiteral("NOT (%1)").arg(sql.text);
    return sql;
}

Sql Renderer::isNull(const Node &node)
{
    Sql sql = operandSql(*node.children.front());
    sql.text += node.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL");
    return sql;
}

Sql Renderer::bare(const Node &node)
{
    const Node &operand = *node.children.front();
    if (operand.kind == Node::Kind::Literal) {
        const QString t = m_dialect.trueLiteral();
        return text(t + QStringLiteral(" = ") + (operand.boolean ? t : m_dialect.falseLiteral()));
    }
    const FieldInfo info = resolve(operand);
    if (info.type != TypeYesNo)
        syntaxError(kCriterion, node.position,
                    QStringLiteral("il campo %1 non è di tipo Sì/No: manca un confronto (per esempio %1 = ...).")
                        .arg(operand.name));
    Sql sql{info.sql, info.binds};
    sql.text += QStringLiteral(" = ") + m_dialect.trueLiteral();
    return sql;
}

Sql Renderer::orChain(const Node &node)
{
    Sql sql;
    bool first = true;
    for (const NodePtr &child : node.children) {
        if (!first)
            sql.text += QStringLiteral(" OR ");
        first = false;
        const bool group = child->kind == Node::Kind::And;
        if (group)
            sql.text += QLatin1Char('(');
        appendSql(sql, predicate(*child));
        if (group)
            sql.text += QLatin1Char(')');
    }
    return sql;
}

// Month(f) = M or Year(f) = Y (either side), with an integer literal in range, on a date field.
std::optional<Renderer::DateCondition> Renderer::dateCondition(const Node &node, int index)
{
    if (node.kind != Node::Kind::Compare || node.op != QLatin1String("="))
        return std::nullopt;
    const Node *function = node.children.at(0).get();
    const Node *value = node.children.at(1).get();
    if (function->kind != Node::Kind::Function)
        std::swap(function, value);
    if (function->kind != Node::Kind::Function || value->kind != Node::Kind::Literal
        || value->literalKind != Node::LiteralKind::Number)
        return std::nullopt;
    const bool month = function->op == QLatin1String("Month");
    if (!month && function->op != QLatin1String("Year"))
        return std::nullopt;
    const auto n = integralNumber(value->text);
    if (!n || (month && (*n < 1 || *n > 12)) || (!month && (*n < 1 || *n > 9998)))
        return std::nullopt;
    const Node &field = *function->children.front();
    if (resolve(field).type != TypeDate)
        return std::nullopt;
    DateCondition condition;
    condition.index = index;
    condition.month = month;
    condition.value = int(*n);
    condition.field = &field;
    return condition;
}

Sql Renderer::monthRange(const Node &field, int year, int month)
{
    const QDate first(year, month, 1);
    const FieldInfo info = resolve(field);
    Sql sql{info.sql + QStringLiteral(" >= ?"), info.binds};
    sql.binds.append(toStorage(first, TypeDate));
    sql.text += QStringLiteral(" AND ") + info.sql + QStringLiteral(" < ?");
    sql.binds += info.binds;
    sql.binds.append(toStorage(first.addMonths(1), TypeDate));
    return sql;
}

Sql Renderer::andChain(const Node &node)
{
    const int count = int(node.children.size());
    // Pair each Month(f) = M with the first Year(f) = Y not yet paired on the same field: together
    // they are a date range. The years wait by field, so the pairing takes one pass whatever the
    // number of terms and of fields.
    QList<DateCondition> months;
    QHash<QString, QList<std::pair<QVariantList, std::deque<DateCondition>>>> years; // by field SQL, then binds
    for (int i = 0; i < count; ++i) {
        const auto c = dateCondition(*node.children[i], i);
        if (!c)
            continue;
        if (c->month) {
            months.append(*c);
            continue;
        }
        const FieldInfo field = resolve(*c->field);
        auto &sameSql = years[field.sql];
        const auto found = std::find_if(sameSql.begin(), sameSql.end(), [&](const auto &group) { return group.first == field.binds; });
        if (found != sameSql.end())
            found->second.push_back(*c);
        else
            sameSql.append({field.binds, std::deque<DateCondition>{*c}});
    }
    QHash<int, std::pair<int, int>> rangeAt; // first index of a pair → (year, month)
    QHash<int, const Node *> rangeField;
    QSet<int> skipped;
    for (const DateCondition &m : std::as_const(months)) {
        const FieldInfo monthField = resolve(*m.field);
        const auto sameSql = years.find(monthField.sql);
        if (sameSql == years.end())
            continue;
        const auto group = std::find_if(sameSql->begin(), sameSql->end(),
                                        [&](const auto &g) { return g.first == monthField.binds; });
        if (group == sameSql->end() || group->second.empty())
            continue;
        const DateCondition year = group->second.front();
        group->second.pop_front();
        const int first = std::min(m.index, year.index);
        const int second = std::max(m.index, year.index);
        rangeAt.insert(first, {year.value, m.value});
        rangeField.insert(first, m.field);
        skipped.insert(second);
    }

    Sql sql;
    bool firstTerm = true;
    for (int i = 0; i < count; ++i) {
        if (skipped.contains(i))
            continue;
        if (!firstTerm)
            sql.text += QStringLiteral(" AND ");
        firstTerm = false;
        if (rangeAt.contains(i)) {
            const auto [year, month] = rangeAt.value(i);
            appendSql(sql, monthRange(*rangeField.value(i), year, month));
            continue;
        }
        const Node &child = *node.children[i];
        const bool group = child.kind == Node::Kind::Or;
        if (group)
            sql.text += QLatin1Char('(');
        appendSql(sql, predicate(child));
        if (group)
            sql.text += QLatin1Char(')');
    }
    return sql;
}

// Field lists ------------------------------------------------------------------------------------

void Renderer::arithmeticTypes(const Node &node, bool &amount, bool &floating, bool &fraction)
{
    switch (node.kind) {
    case Node::Kind::Field: {
        const int type = resolve(node).type;
        if (type == TypeAmount)
            amount = true;
        else if (type == TypeFloat)
            floating = true;
        else if (type != TypeInteger && type != TypeYesNo)
            fail(QStringLiteral("Il campo %1 non è numerico: non può entrare in un campo calcolato.").arg(node.name));
        break;
    }
    case Node::Kind::Literal:
        if (!integralNumber(node.text))
            fraction = true;
        break;
    default:
        for (const NodePtr &child : node.children)
            arithmeticTypes(*child, amount, floating, fraction);
    }
}

Sql Renderer::arithmetic(const Node &node, int resultType)
{
    switch (node.kind) {
    case Node::Kind::Field: {
        const FieldInfo info = resolve(node);
        Sql sql{isSimpleSql(info.sql) ? info.sql : QStringLiteral("(%1)").arg(info.sql), info.binds};
        if (resultType == TypeAmount && info.type != TypeAmount) // whole units → ten-thousandths
            sql.text = QStringLiteral("(%1 * %2)").arg(sql.text).arg(Amount::kScale);
        return sql;
    }
    case Node::Kind::Literal: {
        QVariant value;
        if (resultType == TypeAmount) {
            const auto amount = Amount::parseDecimal(node.text);
            if (!amount)
                fail(QStringLiteral("Numero non valido nel campo calcolato: %1 (un importo ha al massimo quattro decimali "
                                    "e non supera %2).")
                         .arg(node.text.left(40), Amount::largestText()));
            value = qlonglong(amount->units());
        } else if (resultType == TypeFloat) {
            value = node.text.toDouble();
        } else {
            const auto n = integralNumber(node.text);
            if (!n)
                fail(QStringLiteral("Numero non valido nel campo calcolato: %1.").arg(node.text));
            value = qlonglong(*n);
        }
        return Sql{QStringLiteral("?"), {value}};
    }
    case Node::Kind::Negate: {
        Sql sql = text(QStringLiteral("(-"));
        appendSql(sql, arithmetic(*node.children.front(), resultType));
        sql.text += QLatin1Char(')');
        return sql;
    }
    case Node::Kind::Arith: {
        Sql sql = text(QStringLiteral("("));
        for (size_t i = 0; i < node.children.size(); ++i) {
            if (i > 0)
                sql.text += QLatin1Char(' ') + node.text.at(qsizetype(i) - 1) + QLatin1Char(' ');
            appendSql(sql, arithmetic(*node.children[i], resultType));
        }
        sql.text += QLatin1Char(')');
        return sql;
    }
    default:
        fail(QStringLiteral("Campo calcolato non valido."));
    }
}

Sql Renderer::expression(const Node &node, int &type)
{
    if (node.kind == Node::Kind::Field) { // "((Bonifico_Bancomat))": the field itself, of any type
        const FieldInfo info = resolve(node);
        type = info.type;
        return Sql{info.sql, info.binds};
    }
    bool amount = false, floating = false, fraction = false;
    arithmeticTypes(node, amount, floating, fraction);
    if (amount && floating)
        fail(QStringLiteral("Un campo calcolato non può sommare importi e numeri con la virgola."));
    type = amount ? TypeAmount : (floating || fraction) ? TypeFloat : TypeInteger;
    return arithmetic(node, type);
}

} // namespace objdb::query
