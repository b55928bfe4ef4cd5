#include "objdb/engine/postgres/postgresdialect.h"

#include "objdb/types.h"

namespace objdb {

QString PostgresDialect::columnType(int typeCode) const
{
    switch (typeCode) {
    case TypeYesNo:
        return QStringLiteral("SMALLINT");
    case TypeAmount:
    case TypeInteger:
    case TypeReference:
        return QStringLiteral("BIGINT");
    case TypeFloat:
        return QStringLiteral("DOUBLE PRECISION");
    default:
        return QStringLiteral("TEXT COLLATE \"C\"");
    }
}

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Whether the quoted name starting at `quote` follows COLLATE.
bool namesCollation(const QString &sql, qsizetype quote)
{
    qsizetype end = quote;
    while (end > 0 && sql.at(end - 1).isSpace())
        --end;
    const qsizetype start = end - 7;
    return start >= 0 && QStringView(sql).mid(start, 7).compare(QLatin1String("COLLATE"), Qt::CaseInsensitive) == 0
        && (start == 0 || !isNameCharacter(sql.at(start - 1)));
}

// The end of a dollar-quoted body starting at `start` ("$tag$...$tag$"), or -1 when none starts there.
qsizetype dollarQuoteEnd(const QString &sql, qsizetype start)
{
    qsizetype tagEnd = start + 1;
    while (tagEnd < sql.size() && (sql.at(tagEnd).isLetter() || sql.at(tagEnd) == QLatin1Char('_')))
        ++tagEnd;
    if (tagEnd >= sql.size() || sql.at(tagEnd) != QLatin1Char('$'))
        return -1;
    const QString tag = sql.mid(start, tagEnd - start + 1);
    const qsizetype close = sql.indexOf(tag, tagEnd + 1);
    return close < 0 ? sql.size() : close + tag.size();
}

} // namespace

QString PostgresDialect::statement(const QString &sql) const
{
    QString text = sql;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype close = text.indexOf(c, i + 1);
            // A doubled quote stands for one inside the literal or name.
            while (close >= 0 && close + 1 < text.size() && text.at(close + 1) == c)
                close = text.indexOf(c, close + 2);
            if (close < 0)
                close = text.size();
            if (c == QLatin1Char('"') && !namesCollation(text, i))
                for (qsizetype k = i + 1; k < close; ++k)
                    if (text.at(k) >= QLatin1Char('A') && text.at(k) <= QLatin1Char('Z'))
                        text[k] = QChar(text.at(k).unicode() + ('a' - 'A'));
            i = close + 1;
        } else if (c == QLatin1Char('$') && (i == 0 || !isNameCharacter(text.at(i - 1)))) {
            const qsizetype end = dollarQuoteEnd(text, i);
            i = end < 0 ? i + 1 : end;
        } else if (c == QLatin1Char('-') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('-')) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? text.size() : end + 1;
        } else {
            ++i;
        }
    }
    return text;
}

} // namespace objdb
