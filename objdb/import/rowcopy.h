#pragma once
// The copy of the rows of one table of another archive into the same table of an open archive,
// by set-based statements between the two files (the other archive attached to the open one's
// connection). No data events are raised: the stored values are copied, each row with a new OID
// (a family's rows keep their source OIDs moved past the open archive's last one, so that a child
// finds its parent by arithmetic; rows matched by key go through a key map).
//
// What is copied:
// - a table with a parent or with children brings its whole family: the payments of the copied
//   movements and the movements of the copied payments (children whose parent is missing in the
//   other archive are skipped), so that every copied movement keeps exactly its payments;
// - a reference is matched by the referenced row's key column (Codice) in the open archive; a
//   referenced row missing there is copied along;
// - a row whose key (the column references match by, else its first unique column) is already in
//   the open archive is not copied again and counts as skipped.
//
// Use: make the copy outside any transaction (the engine attaches files only then), read the counts,
// then inside the open archive's transaction call CopyRowsTo; destroy the copy after the commit or
// rollback.

#include <QHash>
#include <QList>
#include <QString>

namespace objdb {

class Database;
class DataSource;
class itfProgress;
struct TableDef;

struct CopyCount {
    QString caption;      // the table's caption
    qint64 imported = 0;  // rows that will be copied
    qint64 skipped = 0;   // rows already present, or without their parent
};

class RowCopy {
public:
    // Attaches the source's archive to the target's, checks that it holds every table and column the
    // copy needs in the same currency, and counts the rows. Refuses (throws, naming the row) a row
    // that a unique index of the open archive would refuse.
    RowCopy(DataSource &source, DataSource &target);
    ~RowCopy();
    RowCopy(const RowCopy &) = delete;
    RowCopy &operator=(const RowCopy &) = delete;

    // Per table, references first, in the order of the copy.
    const QList<CopyCount> &counts() const { return m_counts; }
    qint64 rowsToCopy() const;

    // Copies the rows inside the open archive's transaction. False when the user stopped it through
    // the progress sink; then nothing of the copy is left. A failure throws naming the row.
    bool CopyRowsTo(itfProgress *progress);

private:
    struct Step {
        const TableDef *def = nullptr;
        QString selection; // condition on the other archive's table
        QString key;       // the matching column, "" for none
    };
    void plan(const TableDef &table);
    void addStep(const TableDef &def, const QString &selection, const QString &key);
    QString matchingKey(const TableDef &def) const;
    void checkSource() const;
    void mapStep(const Step &step);
    void count();
    void refuseUniqueConflicts(const Step &step) const;
    QString sourceMatches(const Step &step) const;
    QString describe(const Step &step, qint64 sourceOid) const;
    QString pointer(const QString &table, const QString &column) const;
    bool copyStep(const Step &step, class ProgressPacer &pacer, qint64 &done);

    Database &m_target;
    QList<TableDef> m_defs;
    QList<Step> m_steps;
    QList<CopyCount> m_counts;
    QHash<QString, qint64> m_bases;   // keyed tables: the last OID before the copy
    QHash<QString, qint64> m_offsets; // family tables: what their source OIDs are moved by
    bool m_attached = false;
};

} // namespace objdb
