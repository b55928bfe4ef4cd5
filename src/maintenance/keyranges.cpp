#include "maintenance/keyranges.h"

#include "objdb/database.h"
#include "objdb/sqldialect.h"

#include <QSqlQuery>

namespace KeyRanges {

QList<Range> Of(objdb::Database &database, const QString &table, qint64 span)
{
    QSqlQuery q = database.exec(QStringLiteral("SELECT MIN(OID), MAX(OID) FROM %1").arg(objdb::sqlName(table)));
    QList<Range> ranges;
    if (!q.next() || q.value(0).isNull())
        return ranges;
    const qint64 highest = q.value(1).toLongLong();
    for (qint64 first = q.value(0).toLongLong(); first <= highest; first += span)
        ranges.append({first, std::min(highest, first + span - 1)});
    return ranges;
}

} // namespace KeyRanges
