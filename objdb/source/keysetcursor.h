#pragma once
// The rows of a data source as an ordered list of keys, and the current row's place in it. The keys
// are read on first use and kept until the rows change; the first row and single matches are found
// without them, so that a view's first screen never needs the whole list.

#include "objdb/backgroundread.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace objdb {
class Database;
class StatementCache;
}

namespace objdb::source {

struct SourceScope;
class ViewClauses;

// One key-only query and its binds.
struct KeyQuery {
    QString sql;
    QVariantList binds;
};

class KeysetCursor {
public:
    // owner: the object in whose thread keys read in the background are handed over.
    KeysetCursor(const SourceScope &scope, const ViewClauses &clauses, QObject *owner)
        : m_scope(scope), m_clauses(clauses), m_background(owner) {}

    const QList<qint64> &keys();
    bool keysLoaded() const { return m_keysValid; }
    // Starts reading the keys on a thread of their own; onLoaded runs once they are in (not when
    // the rows change first). False when they are in already or cannot be read apart (an open
    // transaction, whose changes only this connection sees).
    bool loadKeysInBackground(std::function<void()> onLoaded);
    bool keysLoading() const { return m_background.running(); }
    // Stops a read of the keys apart: they are read the ordinary way when next needed.
    void stopReadingApart();
    // Told true when a read of the keys apart starts, false when it ends, however it ends.
    std::function<void(bool)> onReadingApart;
    // The rows changed: the keys are read again when next needed.
    void invalidate();
    // Whether a row is among the rows, without the keys.
    bool contains(qint64 oid) const;

    // Back on the first row, not read yet (after the rows were read again).
    void restart();
    // Whether the cursor stands on a first row not read yet.
    bool firstPending() const { return m_firstPending; }
    // A row was read: the first row is no longer pending.
    void rowRead() { m_firstPending = false; }
    // On the first row (index 0 of the keys).
    void placeFirst() { m_position = 0; }
    // On a row reached without the keys (a match, a row found by OID, a new row).
    void placeUnknown() { m_position = kUnknown; }

    // The key of the first row, without reading the keys.
    std::optional<qint64> firstKey() const;
    bool isEmpty() const;
    // The first row (reads the keys); nothing when there are none.
    std::optional<qint64> moveFirst();
    // The row after current (current = the OID of the row in hand, if any); nothing past the last.
    std::optional<qint64> moveNext(std::optional<qint64> current);
    bool atBOF(std::optional<qint64> current);
    bool atEOF(std::optional<qint64> current);

    // The first row matching the criterion within the rows, without reading the keys.
    std::optional<qint64> findFirst(const QString &criterion) const;
    // The first match in order, or with afterCurrent the first one after current.
    std::optional<qint64> find(const QString &criterion, std::optional<qint64> current, bool afterCurrent);
    // The queries find runs, tried in turn until one gives a key (built here, run anywhere).
    QList<KeyQuery> findQueries(const QString &criterion, std::optional<qint64> current, bool afterCurrent) const;
    static std::optional<qint64> firstKey(StatementCache &statements, Database &db, const QList<KeyQuery> &queries);

private:
    // Index of the current row in the keys: -1 before the first, size after the last, kUnknown when
    // the row was reached without the keys.
    static constexpr int kUnknown = -2;
    void locate(std::optional<qint64> current);
    KeyQuery findFirstQuery(const QString &criterion) const;

    const SourceScope &m_scope;
    const ViewClauses &m_clauses;
    BackgroundRead m_background;
    QList<qint64> m_keys;
    bool m_keysValid = false;
    int m_position = 0;
    bool m_firstPending = true;
};

} // namespace objdb::source
