#pragma once
// A SELECT of the statement cache stepped through SQLite's interface. Opening a view and showing
// its first rows converted every text to UTF-16 on the way through Qt SQL; here the statement is
// prepared by Qt (so that closing the connection finalizes it) and its rows are read in place.

#include "objdb/engine/engine.h"

#include <QSqlQuery>

struct sqlite3_stmt;

namespace objdb {

class SqliteRow final : public StoredRow {
public:
    explicit SqliteRow(sqlite3_stmt *statement) : m_statement(statement) {}
    QVariant value(int column) const override;
    qint64 integer(int column) const override;
    QVariant typedValue(int column, int type) const override;

private:
    sqlite3_stmt *m_statement;
};

class SqliteStatement final : public EngineStatement {
public:
    // query: prepared, forward only, on an open SQLite connection.
    explicit SqliteStatement(QSqlQuery query);
    bool isValid() const override;
    void select(const QVariantList &binds, const std::function<void(const StoredRow &)> &onRow) override;

private:
    QSqlQuery m_query;
};

} // namespace objdb
