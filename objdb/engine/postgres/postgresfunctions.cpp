#include "objdb/engine/postgres/postgresfunctions.h"

#include "objdb/engine/postgres/postgresdialect.h"
#include "objdb/engine/postgres/postgreserrors.h"
#include "objdb/error.h"

#include <QChar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace objdb {

namespace {

QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantList &binds = {})
{
    return runEngineStatement(db, sql, binds, QStringLiteral("Impossibile creare le funzioni SQL dell'archivio"));
}

QString codePoint(char32_t c)
{
    return c <= 0xFFFF ? QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'))
                       : QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
}

// The bracket expression of every code point that foldText drops (the marks), in ranges, taken
// from Qt's own character tables so that both sides drop the same ones.
QString marksClass()
{
    QString ranges;
    char32_t first = 0;
    bool inside = false;
    for (char32_t c = 0; c <= 0x110000; ++c) {
        bool mark = false;
        if (c < 0x110000) {
            const auto category = QChar::category(c);
            mark = category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
                || category == QChar::Mark_Enclosing;
        }
        if (mark && !inside) {
            first = c;
            inside = true;
        } else if (!mark && inside) {
            ranges += codePoint(first);
            if (c - 1 != first)
                ranges += QLatin1Char('-') + codePoint(c - 1);
            inside = false;
        }
    }
    return QLatin1Char('[') + ranges + QLatin1Char(']');
}

// The first collation the server has whose lower() maps one character at a time over the whole of
// Unicode (the "C" collation lowers ASCII only; ICU's also changes a final sigma).
QString lowerCollation(QSqlDatabase &db)
{
    const QStringList preferred{QStringLiteral("C.utf8"), QStringLiteral("C.UTF-8"), QStringLiteral("en_US.utf8"),
                                QStringLiteral("und-x-icu")};
    QSqlQuery q = run(db, QStringLiteral("SELECT collname FROM pg_catalog.pg_collation WHERE collname = ANY (?::text[]) "
                                         "AND collencoding IN (-1, pg_catalog.pg_char_to_encoding('UTF8'))"),
                      {QStringLiteral("{%1}").arg(preferred.join(QLatin1Char(',')))});
    QStringList present;
    while (q.next())
        present.append(q.value(0).toString());
    for (const QString &name : preferred)
        if (present.contains(name))
            return QLatin1Char('"') + name + QLatin1Char('"');
    return QStringLiteral("\"default\"");
}

// The function's body: decomposed, marks dropped, lower-cased, and the letters whose case folding
// differs from their lower case (final sigma, long s, micro sign) mapped as folding maps them.
QString foldBody(const QString &collation)
{
    return QStringLiteral(" SELECT pg_catalog.translate(pg_catalog.lower(pg_catalog.regexp_replace("
                          "normalize($1, NFD), '%1', '', 'g') COLLATE %2), '%3', '%4') ")
        .arg(marksClass(), collation, QStringLiteral(u"\u03C2\u017F\u00B5"), QStringLiteral(u"\u03C3s\u03BC"));
}

} // namespace

void installSqlFunctions(QSqlDatabase &db)
{
    const PostgresDialect dialect;
    const QString name = dialect.foldFunction();
    const QString body = foldBody(lowerCollation(db));
    QSqlQuery present = run(db, QStringLiteral("SELECT p.prosrc FROM pg_catalog.pg_proc p WHERE p.proname = ? "
                                               "AND p.pronamespace = pg_catalog.to_regnamespace(current_schema())::oid"),
                            {name});
    if (present.next() && present.value(0).toString() == body)
        return;
    run(db, QStringLiteral("CREATE OR REPLACE FUNCTION %1(text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE "
                           "AS $objdb$%2$objdb$")
                .arg(sqlName(name), body));
}

} // namespace objdb
