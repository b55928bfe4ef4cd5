#include "objdb/engine/postgres/postgreserrors.h"

#include "objdb/error.h"

#include <QRegularExpression>
#include <QSqlError>

namespace objdb {

int postgresErrorCause(const QString &sqlState)
{
    if (sqlState == QLatin1String(kLockNotAvailable) || sqlState == QLatin1String("40P01"))
        return kErrLocked;
    if (sqlState == QLatin1String("57014"))
        return kErrStopped;
    if (sqlState == QLatin1String("22003"))
        return kErrOverflow;
    if (sqlState == QLatin1String("25006"))
        return kErrReadOnly;
    if (sqlState == QLatin1String("53100"))
        return kErrDiskFull;
    if (sqlState == QLatin1String("58030"))
        return kErrDiskIo;
    if (sqlState == QLatin1String("XX001") || sqlState == QLatin1String("XX002"))
        return kErrDamaged;
    // Class 08 is the connection's; 57P01-57P03 the server shutting down or not yet up.
    if (sqlState.startsWith(QLatin1String("08")) || sqlState == QLatin1String("57P01")
        || sqlState == QLatin1String("57P02") || sqlState == QLatin1String("57P03"))
        return kErrConnectionLost;
    return kErrEngine;
}

int postgresErrorCause(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    if (!state.isEmpty())
        return postgresErrorCause(state);
    // The driver reports a broken connection with no SQLSTATE.
    if (error.type() == QSqlError::ConnectionError)
        return kErrConnectionLost;
    static const QRegularExpression lost(
        QStringLiteral("server closed the connection|no connection to the server|connection to server .* failed|"
                       "could not connect|terminating connection"));
    return lost.match(error.text()).hasMatch() ? kErrConnectionLost : kErrEngine;
}

std::optional<UniqueRefusal> postgresUniqueRefusal(const QSqlError &error)
{
    if (error.nativeErrorCode() != QLatin1String("23505"))
        return std::nullopt;
    const QString text = error.databaseText() + QLatin1Char('\n') + error.driverText();
    static const QRegularExpression index(QStringLiteral("unique constraint \"(\\w+)\""));
    static const QRegularExpression key(QStringLiteral("Key \\(\"?(\\w+)\"?\\)="));
    const auto named = index.match(text);
    if (!named.hasMatch())
        return std::nullopt;
    const QString name = named.captured(1);
    const auto detail = key.match(text);
    QString column = detail.hasMatch() ? detail.captured(1) : QString();
    QString table;
    if (name.endsWith(QLatin1String("_pkey"))) {
        table = name.chopped(5);
    } else if (name.endsWith(QLatin1String("_idx")) && !column.isEmpty()
               && name.endsWith(QLatin1Char('_') + column + QLatin1String("_idx"))) {
        table = name.chopped(int(column.size()) + 5);
    } else if (name.endsWith(QLatin1String("_idx"))) {
        // "<table>_<column>_idx" without the detail: the column is the last part.
        const QString stem = name.chopped(4);
        const auto cut = stem.lastIndexOf(QLatin1Char('_'));
        if (cut <= 0)
            return std::nullopt;
        table = stem.left(cut);
        column = stem.mid(cut + 1);
    } else {
        return std::nullopt;
    }
    if (column.isEmpty())
        return std::nullopt;
    return UniqueRefusal{table, column};
}

QSqlQuery runEngineStatement(QSqlDatabase &db, const QString &sql, const QVariantList &binds, const QString &failure)
{
    QSqlQuery q(db);
    // Only queries can be prepared on the server: a statement without binds runs as it is.
    bool ok = binds.isEmpty() ? q.exec(sql) : q.prepare(sql);
    for (const QVariant &bind : binds)
        q.addBindValue(bind);
    ok = ok && (binds.isEmpty() || q.exec());
    if (!ok)
        failEngine(failure, postgresErrorCause(q.lastError()), q.lastError().text());
    return q;
}

} // namespace objdb
