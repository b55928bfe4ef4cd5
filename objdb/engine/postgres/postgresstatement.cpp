#include "objdb/engine/postgres/postgresstatement.h"

#include "objdb/engine/postgres/postgreserrors.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QSqlDriver>
#include <QSqlError>

namespace objdb {

QVariant normalizedValue(const QVariant &value)
{
    if (value.isNull())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    default:
        return value;
    }
}

QVariant PostgresRow::value(int column) const
{
    return normalizedValue(m_query.value(column));
}

qint64 PostgresRow::integer(int column) const
{
    return m_query.value(column).toLongLong();
}

QVariant PostgresRow::typedValue(int column, int type) const
{
    return fromStorage(value(column), type);
}

bool PostgresStatement::isValid() const
{
    const QSqlDriver *driver = m_query.driver();
    return driver && driver->isOpen();
}

void PostgresStatement::select(const QVariantList &binds, const std::function<void(const StoredRow &)> &onRow)
{
    if (!isValid())
        fail(QStringLiteral("La connessione all'archivio è chiusa."));
    if (stopped())
        failEngine(QStringLiteral("Lettura interrotta"), kErrStopped, QString());
    // A flag is stored as 0 or 1, as the SQLite engine binds it.
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant &bind = binds.at(i);
        m_query.bindValue(i, bind.typeId() == QMetaType::Bool ? QVariant(bind.toBool() ? 1 : 0) : bind);
    }
    if (!m_query.exec())
        failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), postgresErrorCause(m_query.lastError()),
                   m_query.lastError().text());
    // The result is let go whatever happens while its rows are read.
    struct Finish {
        QSqlQuery &query;
        ~Finish() { query.finish(); }
    } finish{m_query};
    const PostgresRow row(m_query);
    while (m_query.next()) {
        if (stopped())
            failEngine(QStringLiteral("Lettura interrotta"), kErrStopped, QString());
        onRow(row);
    }
}

} // namespace objdb
