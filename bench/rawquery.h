#pragma once
#include <QList>
#include <QString>

struct sqlite3;

// The same reads as the data sources, written by hand against the SQLite C interface.
class RawQuery {
public:
    explicit RawQuery(const QString &path);
    ~RawQuery();
    // The first rows of the payments view between two ISO dates, with its joins, in date order.
    int firstPaymentRows(const QString &fromIso, const QString &toIso, int count);
    // The first rows of the whole payments view in the given order (a column of the view, "t0.Data").
    int firstPaymentScreen(const QString &orderColumn, int count);
    // The ordered key list of the payments, then the last `count` rows read by key.
    int lastPaymentRowsByKey(const QString &orderColumn, int count);
    // The rows of the payments view with these keys.
    int paymentRowsByKey(const QList<qint64> &keys);
    // The ordered key list of the payments.
    QList<qint64> paymentKeys(const QString &orderColumn);
    // The position of a key in the ordered key list.
    int rowOfPaymentKey(const QString &orderColumn, qint64 oid);
    // The first rows of the payments view meeting a condition (SQL of the view's aliases), in date order.
    int firstPaymentScreenWhere(const QByteArray &condition, int count);
    // From a payment to the next one in date order meeting a condition: the payment read, the next
    // key found by keyset, its row read. The key found, 0 when none.
    qint64 nextPaymentAfter(qint64 oid, const QByteArray &condition);
    // COUNT(*), COUNT and SUM of a column of the payments (with a condition on them when given); the
    // mean divided in integers when asked.
    qint64 sumOfPayments(const QByteArray &column, const QByteArray &condition, const QList<QByteArray> &binds, bool average);
    // Any statement with integer bindings stepped to its end, every column read; the rows.
    int stepAll(const QByteArray &sql, const QList<qint64> &binds);
    // Any aggregate with text bindings stepped to its end; the sum of its integer columns.
    qint64 aggregate(const QByteArray &sql, const QList<QByteArray> &binds = {});
    // The totals band of the payments meeting a condition on Pagamenti AS t0 (all when empty): the
    // count and the sums of the four ways of paying.
    qint64 bandSums(const QByteArray &condition, const QList<QByteArray> &binds = {});
    // The closing summary's four aggregates from first to next (ISO dates, next excluded), by the
    // statements the program runs: the payments after the period through the date index when
    // nearTheEnd, else by the table in order and the index of payments by movement and date.
    qint64 closingSummary(const QByteArray &first, const QByteArray &next, bool nearTheEnd);

private:

    sqlite3 *m_db = nullptr;
};
