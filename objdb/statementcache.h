#pragma once
// Prepared SELECT statements of the open archive, kept across data sources. Opening a view and
// showing its first rows prepared the same joined SELECT each time; here the engine prepares it
// once (EngineConnection::prepareSelect) and steps it as fast as it can. A statement is reset as
// soon as its rows are read: no cursor stays open between calls.

#include "objdb/engine/engine.h"

#include <QCache>
#include <QPointer>
#include <QSet>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace objdb {

class Database;

class StatementCache {
public:
    static constexpr int kMaxStatements = 32;

    // Runs sql with its binds and calls onRow for every row.
    // Throws objdb::Error when the statement is invalid or the engine fails.
    void select(Database &db, const QString &sql, const QVariantList &binds,
                const std::function<void(const StoredRow &)> &onRow);
    int size() const { return int(m_statements.count()); }
    void clear() { m_statements.clear(); }

private:
    struct Entry {
        std::shared_ptr<EngineStatement> statement;
        QPointer<QSqlDriver> driver; // the connection it was prepared on
    };

    std::shared_ptr<EngineStatement> preparedStatement(Database &db, const QString &sql);

    QCache<QString, Entry> m_statements{kMaxStatements};
    QSet<QString> m_busy; // texts being stepped
};

} // namespace objdb
