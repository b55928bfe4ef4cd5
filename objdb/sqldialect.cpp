#include "objdb/sqldialect.h"

#include "objdb/types.h"

#include <QRegularExpression>

namespace objdb {

const SqlDialect &SqlDialect::sqlite()
{
    static const SqlDialect dialect;
    return dialect;
}

QString SqlDialect::quoteIdentifier(const QString &name) const
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool SqlDialect::isValidIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
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
