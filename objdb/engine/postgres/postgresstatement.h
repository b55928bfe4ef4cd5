#pragma once
// A SELECT of the statement cache on PostgreSQL: prepared once by Qt's driver on the server, its
// rows handed over as SQLite's engine hands them (whole numbers as qlonglong).

#include "objdb/engine/engine.h"

#include <QSqlQuery>
#include <functional>
#include <memory>

namespace objdb {

// A value as the library reads it from any engine: the driver's integer variants (and booleans, which
// SQLite has not) as qlonglong.
QVariant normalizedValue(const QVariant &value);

class PostgresRow final : public StoredRow {
public:
    explicit PostgresRow(const QSqlQuery &query) : m_query(query) {}
    QVariant value(int column) const override;
    qint64 integer(int column) const override;
    QVariant typedValue(int column, int type) const override;

private:
    const QSqlQuery &m_query;
};

class PostgresStatement final : public EngineStatement {
public:
    // The stop condition of a connection, as interruptWhen sets it; empty when none.
    using StopCondition = std::shared_ptr<const std::function<bool()>>;
    // query: prepared on an open PostgreSQL connection; stop: that connection's, asked before the
    // statement runs and between its rows, as SQLite's engine asks between steps.
    PostgresStatement(QSqlQuery query, StopCondition stop) : m_query(std::move(query)), m_stop(std::move(stop)) {}
    bool isValid() const override;
    void select(const QVariantList &binds, const std::function<void(const StoredRow &)> &onRow) override;

private:
    bool stopped() const { return *m_stop && (*m_stop)(); }

    QSqlQuery m_query;
    StopCondition m_stop;
};

} // namespace objdb
