#include "objdb/filter/filterstore.h"

#include "objdb/database.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QSqlQuery>

namespace objdb::FilterStore {

namespace {

// The table is made on the first save, so reading an archive never writes to it.
bool hasTable(Database &db)
{
    return db.hasTable(QStringLiteral("objdb_filters"));
}

void ensureTable(Database &db)
{
    const QString text = db.dialect().columnType(TypeText);
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS objdb_filters (table_name %1 NOT NULL, name %1 NOT NULL, "
                           "predefined %2 NOT NULL, conditions %1 NOT NULL, "
                           "UNIQUE (table_name, name, predefined))")
                .arg(text, db.dialect().columnType(TypeInteger)));
}

} // namespace

QStringList names(Database &db, const QString &table, bool predefined)
{
    QStringList result;
    if (!hasTable(db))
        return result;
    QSqlQuery q = db.exec(QStringLiteral("SELECT name FROM objdb_filters WHERE table_name = ? AND predefined = ? "
                                         "ORDER BY %1, name").arg(db.dialect().caseInsensitiveOrder(QStringLiteral("name"))),
                          {table, predefined ? 1 : 0});
    while (q.next())
        result.append(q.value(0).toString());
    return result;
}

bool exists(Database &db, const QString &table, const QString &name, bool predefined)
{
    return load(db, table, name, predefined).has_value();
}

std::optional<QString> load(Database &db, const QString &table, const QString &name, bool predefined)
{
    if (!hasTable(db))
        return std::nullopt;
    QSqlQuery q = db.exec(QStringLiteral("SELECT conditions FROM objdb_filters WHERE table_name = ? AND name = ? "
                                         "AND predefined = ?"),
                          {table, name, predefined ? 1 : 0});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

bool save(Database &db, const QString &table, const QString &name, bool predefined, const QString &conditions,
          bool overwrite)
{
    // The names are listed joined by "|", so a name may not contain it.
    if (name.trimmed().isEmpty())
        fail(QStringLiteral("Indicare il nome del filtro."));
    if (name.contains(QLatin1Char('|')))
        fail(QStringLiteral("Il nome del filtro non può contenere il carattere \"|\"."));
    ensureTable(db);
    if (!overwrite && exists(db, table, name, predefined))
        return false;
    db.exec(QStringLiteral("INSERT INTO objdb_filters (table_name, name, predefined, conditions) VALUES (?, ?, ?, ?) "
                           "ON CONFLICT (table_name, name, predefined) DO UPDATE SET conditions = excluded.conditions"),
            {table, name, predefined ? 1 : 0, conditions});
    return true;
}

bool remove(Database &db, const QString &table, const QString &name, bool predefined)
{
    if (!exists(db, table, name, predefined))
        return false;
    db.exec(QStringLiteral("DELETE FROM objdb_filters WHERE table_name = ? AND name = ? AND predefined = ?"),
            {table, name, predefined ? 1 : 0});
    return true;
}

} // namespace objdb::FilterStore
