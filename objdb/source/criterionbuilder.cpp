#include "objdb/source/criterionbuilder.h"

#include "objdb/amount.h"
#include "objdb/query/criterion.h"
#include "objdb/types.h"
#include "objdb/viewschema.h"

#include <QDate>
#include <QLocale>

namespace objdb::source {

namespace {

const QString kNoRows = QStringLiteral("False");

// The literal of a displayed value of the type, "" when the text is not one.
QString literalOf(const FieldDef &field, const QString &text)
{
    const QString trimmed = text.trimmed();
    switch (field.type) {
    case TypeText:
    case TypeLongText:
    case TypeReference:
        return query::textLiteral(text);
    case TypeAmount:
        if (const auto amount = Amount::parse(trimmed))
            return query::literal(QVariant::fromValue(*amount), TypeAmount);
        return {};
    case TypeDate: {
        const QDate date = QDate::fromString(trimmed, QStringLiteral("dd/MM/yyyy"));
        return date.isValid() ? query::literal(date, TypeDate) : QString();
    }
    case TypeYesNo:
        if (trimmed.compare(QStringLiteral("Sì"), Qt::CaseInsensitive) == 0 || trimmed.compare(QStringLiteral("Si"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("True");
        if (trimmed.compare(QStringLiteral("No"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("False");
        return {};
    case TypeInteger: {
        bool ok = false;
        const qlonglong n = trimmed.toLongLong(&ok);
        return ok ? QString::number(n) : QString();
    }
    case TypeFloat: {
        bool ok = false;
        const double d = QLocale(QLocale::Italian).toDouble(trimmed, &ok);
        return ok ? query::sqlNumber(d) : QString();
    }
    default:
        return {};
    }
}

} // namespace

QString buildCriterion(const FieldDef &field, const QString &text, const QString &wildcard)
{
    const bool isText = field.type == TypeText || field.type == TypeLongText || field.type == TypeReference;
    if (isText && !wildcard.isEmpty() && text.contains(wildcard)) {
        QString pattern = text;
        pattern.replace(wildcard, QStringLiteral("*"));
        return field.name + QStringLiteral(" Like ") + query::patternLiteral(pattern);
    }
    const QString literal = literalOf(field, text);
    return literal.isEmpty() ? kNoRows : field.name + QStringLiteral(" = ") + literal;
}

} // namespace objdb::source
