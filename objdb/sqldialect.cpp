#include "objdb/sqldialect.h"

#include "objdb/error.h"
#include "objdb/types.h"

#include <algorithm>

namespace objdb {

QString SqlDialect::quoteIdentifier(const QString &name)
{
    if (!isValidIdentifier(name))
        fail(QStringLiteral("Nome non valido in un'istruzione SQL: '%1'.").arg(name));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

bool SqlDialect::isValidIdentifier(const QString &name)
{
    const auto ascii = [](QChar c, bool digitAllowed) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || c == QLatin1Char('_') || (digitAllowed && c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    };
    if (name.isEmpty() || !ascii(name.front(), false))
        return false;
    return std::all_of(name.cbegin() + 1, name.cend(), [&](QChar c) { return ascii(c, true); });
}

QString SqlDialect::columnType(int typeCode) const
{
    switch (typeCode) {
    case TypeYesNo:
    case TypeAmount:
    case TypeInteger:
    case TypeReference:
        return QStringLiteral("INTEGER");
    case TypeFloat:
        return QStringLiteral("REAL");
    default:
        return QStringLiteral("TEXT");
    }
}

QString SqlDialect::likeMatch(const QString &expression, const QString &placeholder) const
{
    return QStringLiteral("%1(%2) LIKE %3 ESCAPE '\\'").arg(foldFunction(), expression, placeholder);
}

QString SqlDialect::orderTerm(const QString &expression, bool descending) const
{
    return descending ? expression + QStringLiteral(" DESC") : expression;
}

QString SqlDialect::datePart(DatePart part, const QString &expression) const
{
    // ISO text: yyyy-MM-dd, so the parts sit at fixed places.
    switch (part) {
    case DatePart::Year:
        return QStringLiteral("CAST(substr(%1, 1, 4) AS INTEGER)").arg(expression);
    case DatePart::Month:
        return QStringLiteral("CAST(substr(%1, 6, 2) AS INTEGER)").arg(expression);
    case DatePart::Day:
        break;
    }
    return QStringLiteral("CAST(substr(%1, 9, 2) AS INTEGER)").arg(expression);
}

QString sqlName(const QString &identifier)
{
    return SqlDialect::quoteIdentifier(identifier);
}

QString foldText(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const auto category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing)
            continue;
        folded.append(c);
    }
    return folded.toCaseFolded();
}

} // namespace objdb
