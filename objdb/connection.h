#pragma once
// The connection of a database for bulk statements: one transaction and statements of the form
// UPDATE <table> SET <column>=<column> / <number>[, ...] (or * <number>) on amount columns.
// No data events are raised; amounts are rounded half away from zero to four decimals.

#include <QString>

namespace objdb {

class Database;
class DataContext;

class Connection {
public:
    Connection(Database &database, const DataContext &context) : m_database(database), m_context(context) {}
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // Runs one bulk UPDATE; returns the number of rows changed. Anything else throws.
    int Execute(const QString &statement);

private:
    Database &m_database;
    const DataContext &m_context;
};

} // namespace objdb
