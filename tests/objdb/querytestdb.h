#pragma once
// A temporary SQLite database for the query-language tests, with objdb's SQL functions registered.

#include "objdb/error.h"
#include "objdb/query/criterion.h"
#include "objdb/engine/sqlite/sqlitefunctions.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

class QueryTestDb {
public:
    QueryTestDb()
        : m_name(QStringLiteral("querytest-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(m_dir.filePath(QStringLiteral("query.sqlite")));
        if (!db.open())
            qFatal("cannot open the test database");
        objdb::registerSqlFunctions(db);
    }
    ~QueryTestDb()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Runs statements that must succeed.
    void exec(const QString &sql, const QVariantList &binds = {}) const
    {
        QSqlQuery q(db());
        if (!q.prepare(sql))
            qFatal("prepare failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
        for (const QVariant &v : binds)
            q.addBindValue(v);
        if (!q.exec())
            qFatal("exec failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
    }

    // First column of every row of a query that must succeed.
    QVariantList column(const QString &sql, const QVariantList &binds = {}, int col = 0) const
    {
        QSqlQuery q(db());
        if (!q.prepare(sql)) {
            qWarning("prepare failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
            return {QStringLiteral("<prepare failed>")};
        }
        for (const QVariant &v : binds)
            q.addBindValue(v);
        if (!q.exec()) {
            qWarning("exec failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
            return {QStringLiteral("<exec failed>")};
        }
        QVariantList values;
        while (q.next())
            values.append(q.value(col));
        return values;
    }

private:
    QTemporaryDir m_dir;
    QString m_name;
};

// The message of the refusal that f raises, or a marker saying what happened instead,
// so that a test compares one text whatever went wrong.
template<typename F>
inline QString errorOf(F f)
{
    try {
        f();
    } catch (const objdb::Error &e) {
        if (e.code() != objdb::kErrRefused)
            return QStringLiteral("<wrong code %1>").arg(e.code());
        return e.description();
    } catch (...) {
        return QStringLiteral("<another exception>");
    }
    return QStringLiteral("<no error>");
}
