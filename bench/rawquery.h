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
    // The ordered key list of the payments.
    QList<qint64> paymentKeys(const QString &orderColumn);
    // The position of a key in the ordered key list.
    int rowOfPaymentKey(const QString &orderColumn, qint64 oid);

private:
    int stepAll(const QByteArray &sql, const QList<qint64> &binds);

    sqlite3 *m_db = nullptr;
};
