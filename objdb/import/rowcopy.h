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
//   the open archive is not copied again and counts as skipped;
// - rows that point at a copied family row by a plain key column (a log kept beside the tables) are
//   copied along when the caller names them, their column moved to the row's new key.
//
// Rows keep their source OIDs where nothing in the open archive is in their way: a family into an
// empty table, referenced rows beyond the table's last OID. A whole family copied into empty tables
// whose definition is the source's, and whose references keep their keys, is copied table by table
// by the engine's direct copy of the b-trees.
//
// Use: make the copy outside any transaction (the engine attaches files only then), read the counts,
// then inside the open archive's transaction call CopyRowsTo; destroy the copy after the commit or
// rollback.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace objdb {

class Database;
class DataSource;
class itfProgress;
struct TableDef;

// Rows of `table` whose integer `column` holds the OID of a row of `pointsAt`.
struct CarriedRows {
    QString table;
    QString column;
    QString pointsAt;
};

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
    // `carried`: rows to bring along with the family rows they point at, when the other archive has
    // their table.
    RowCopy(DataSource &source, DataSource &target, const QList<CarriedRows> &carried = {});
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
        QString selection = {}; // condition on the other archive's table
        QString key = {};       // the matching column, "" for none
        bool family = false;
        CarriedRows carried = {}; // for carried rows: the column to move to the new key of the row it points at
    };
    void plan(const TableDef &table, const QList<CarriedRows> &carried, bool wholeFamily);
    bool familyIsWhole() const;
    const TableDef *definition(const QString &name) const;
    void addStep(const Step &step);
    bool sourceHasTable(const QString &name) const;
    QString matchingKey(const TableDef &def) const;
    void checkSource() const;
    void mapStep(const Step &step);
    void count();
    void refuseUniqueConflicts(const Step &step) const;
    QString sourceMatches(const Step &step) const;
    QString describe(const Step &step, qint64 sourceOid) const;
    QString pointer(const QString &table, const QString &column) const;
    QString newKey(const QString &table, const QString &alias) const;
    bool copyStep(const Step &step, class ProgressPacer &pacer, qint64 &done);
    bool keepsSourceKeys(const Step &step, qint64 last) const;
    bool copiesWholeTable(const Step &step, qint64 last) const;
    bool sameDefinitionInSource(const QString &table) const;

    Database &m_target;
    QList<TableDef> m_defs;
    QList<Step> m_steps;
    QList<CopyCount> m_counts;
    QHash<QString, qint64> m_bases;    // keyed tables: the last OID before the copy
    QSet<QString> m_sourceKeys;        // keyed tables whose new rows keep their source OIDs
    QHash<QString, qint64> m_offsets; // family tables: what their source OIDs are moved by
    QSet<QString> m_keptKeys;          // tables copied so far whose every row kept its source OID
    bool m_attached = false;
};

} // namespace objdb
