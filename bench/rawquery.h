#pragma once
#include <QString>

struct sqlite3;

// The same reads as the data sources, written by hand against the SQLite C interface.
class RawQuery {
public:
    explicit RawQuery(const QString &path);
    ~RawQuery();
    // The first rows of the payments view between two ISO dates, with its joins, in date order.
    int firstPaymentRows(const QString &fromIso, const QString &toIso, int count);

private:
    sqlite3 *m_db = nullptr;
};
