#pragma once
// An archive of movements and payments for the maintenance tests, with an operator logged in on its
// data context, and the few queries the tests compare.

#include "testsupport.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"

#include <QDate>
#include <QSqlQuery>
#include <QtTest>

class LedgerFixture {
public:
    LedgerFixture()
    {
        m_archive = TestSupport::openArchive(m_dir.databasePath(), &m_sink);
        m_archive.context->UserName = QStringLiteral("Verdi");
    }

    static QVariant money(const QString &text) { return QVariant::fromValue(*objdb::Amount::parse(text)); }

    objdb::Table &table(const QString &name) { return m_archive.context->Tables().Item(name); }
    objdb::Database &database() { return *m_archive.database; }
    objdb::DataContext &context() { return *m_archive.context; }
    TestSupport::RecordingSink &sink() { return m_sink; }
    QString path() const { return m_dir.databasePath(); }

    // A movement of importo less sconto (both as the user types them; "" leaves Importo empty).
    qint64 movement(const QString &importo, const QString &sconto = QStringLiteral("0"))
    {
        auto ds = table(QStringLiteral("Movimenti")).OpenDataSource();
        ds->AddNew();
        ds->SetField(QStringLiteral("Descrizione"), QStringLiteral("Premio"));
        if (!importo.isEmpty())
            ds->SetField(QStringLiteral("Importo"), money(importo));
        ds->SetField(QStringLiteral("Sconto"), money(sconto));
        ds->SaveRow();
        return ds->Bookmark();
    }

    // A payment of the movement on a day, in cash and by cheque, saved through the rules.
    qint64 payment(qint64 movementOid, const QDate &day, const QString &cash, const QString &cheque = QStringLiteral("0"))
    {
        TestSupport::ScriptedMessages answers; // the question about a date other than today: keep it
        auto ds = table(QStringLiteral("Pagamenti")).OpenDataSource();
        ds->AddRow({QStringLiteral("OID_Movimenti"), movementOid, QStringLiteral("Data"), day,
                    QStringLiteral("Contanti"), money(cash), QStringLiteral("Assegno"), money(cheque)});
        return ds->Bookmark();
    }

    QVariant value(const QString &sql, const QVariantList &binds = {})
    {
        QSqlQuery q = m_archive.database->exec(sql, binds);
        return q.next() ? q.value(0) : QVariant();
    }
    qint64 number(const QString &sql, const QVariantList &binds = {}) { return value(sql, binds).toLongLong(); }

    // Outstanding amount (ten-thousandths) and paid flag of a movement as stored.
    qint64 outstanding(qint64 movementOid)
    {
        return number(QStringLiteral("SELECT ImportoInSospeso FROM Movimenti WHERE OID = ?"), {movementOid});
    }
    bool paid(qint64 movementOid)
    {
        return number(QStringLiteral("SELECT Pagato FROM Movimenti WHERE OID = ?"), {movementOid}) == 1;
    }
    bool exists(const QString &table, qint64 oid)
    {
        return number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE OID = ?").arg(table), {oid}) == 1;
    }

private:
    TestSupport::TempWorkDir m_dir;
    TestSupport::RecordingSink m_sink;
    TestSupport::Archive m_archive;
};
