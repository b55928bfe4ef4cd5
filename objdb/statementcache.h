#pragma once
// Prepared SELECT statements of the open archive, kept across data sources and read through SQLite
// directly. Opening a view and showing its first rows prepared the same joined SELECT each time and
// converted every text to UTF-16 on the way through Qt SQL; here the statement is prepared once (by
// Qt, so that closing the archive finalizes it) and its rows are stepped with the SQLite interface.
// A statement is reset as soon as its rows are read: no cursor stays open between calls.

#include <QCache>
#include <QPointer>
#include <QSqlDriver>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3_stmt;

namespace objdb {

class Database;

// One row being stepped: the values as Qt's SQLite driver gives them (qlonglong, double, QString,
// QByteArray; QVariant() for Null).
class StoredRow {
public:
    explicit StoredRow(sqlite3_stmt *statement) : m_statement(statement) {}
    QVariant value(int column) const;
    qint64 integer(int column) const;
    // fromStorage(value(column), type), without the intermediate variant for the usual storage.
    QVariant typedValue(int column, int type) const;

private:
    sqlite3_stmt *m_statement;
};

class StatementCache {
public:
    static constexpr int kMaxStatements = 32;

    // Runs sql with its binds and calls onRow for every row.
    // Throws objdb::Error when the statement is invalid or SQLite fails.
    void select(Database &db, const QString &sql, const QVariantList &binds,
                const std::function<void(const StoredRow &)> &onRow);
    int size() const { return int(m_statements.count()); }
    void clear() { m_statements.clear(); }

private:
    struct Entry {
        std::shared_ptr<QSqlQuery> query;
        QPointer<QSqlDriver> driver; // the connection it was prepared on
    };

    std::shared_ptr<QSqlQuery> preparedQuery(Database &db, const QString &sql);

    QCache<QString, Entry> m_statements{kMaxStatements};
    QSet<QString> m_busy; // texts being stepped
};

// SQLite's statement behind a prepared query; nullptr once the connection finalized it.
sqlite3_stmt *statementOf(const QSqlQuery &query);

} // namespace objdb
