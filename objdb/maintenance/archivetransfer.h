#pragma once
// The transfer of a whole archive into an empty one, of any engine (a file archive onto a server):
// every table of the definition, rows with their keys, through plain statements of each side, page
// by page by key so that no table is ever held in memory. Then the two archives are compared table
// by table: row count and the sum of every amount column.
//
// Use: construct it on the open source and the open, empty target; begin the target's
// transaction; lay the definition's tables down in it (a data context attached there); call copy;
// compare; commit, or roll back to leave the target as it was. What laying down writes (the rows
// a new archive starts with) is replaced by the source's rows.

#include "objdb/amount.h"
#include "objdb/definition.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace objdb {

class Database;
class itfProgress;

// One table of both archives after a transfer.
struct TransferCheck {
    QString table;
    QString caption;
    qint64 sourceRows = 0;
    qint64 targetRows = 0;
    QStringList amountColumns;
    QList<Amount> sourceSums; // per amount column, in the same order
    QList<Amount> targetSums;
    bool matches() const { return sourceRows == targetRows && sourceSums == targetSums; }
};

class ArchiveTransfer {
public:
    // Refuses (throws, in Italian) a target holding rows, archives of different main currencies,
    // and a table of `tables` missing in the source.
    ArchiveTransfer(Database &source, Database &target, QList<TableDef> tables);

    // Whether any table of the archive, besides the library's records of it, holds a row.
    static bool holdsRows(Database &archive);

    qint64 rowsToCopy() const { return m_rows; }
    // Copies inside the target's transaction, once its tables are laid down. False when the user
    // stopped it through the progress sink (the caller rolls back); a failure throws.
    bool copy(itfProgress *progress);
    // Both archives, table by table, as they are now.
    QList<TransferCheck> compare() const;

private:
    void copyTable(const TableDef &table, class ProgressPacer &pacer, qint64 &done);

    Database &m_source;
    Database &m_target;
    QList<TableDef> m_tables;
    qint64 m_rows = 0;
};

} // namespace objdb
