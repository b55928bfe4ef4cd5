// The log of deletions: every deleted movement or payment leaves a row, written with the deletion
// (a refused deletion leaves none); archives of the previous version gain the table; nobody edits it.

#include "testsupport.h"

#include "data/deletionlog.h"
#include "objdb/datacontext.h"
#include "objdb/amount.h"

#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

QVariant money(const char *text)
{
    return QVariant::fromValue(*Amount::parse(QString::fromLatin1(text)));
}

} // namespace

class TestDeletionLog : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::RecordingSink> m_sink;
    TestSupport::Archive m_archive;

    Table &table(const char *name) { return m_archive.context->Tables().Item(QString::fromLatin1(name)); }

    qint64 newMovement(const char *importo)
    {
        auto ds = table("Movimenti").OpenDataSource();
        [&] { QVERIFY(ds->AddNew()); }();
        ds->SetField(QStringLiteral("Descrizione"), QStringLiteral("Polizza casa"));
        ds->SetField(QStringLiteral("Importo"), money(importo));
        ds->SaveRow();
        return ds->Bookmark();
    }

    qint64 newPayment(qint64 movement, const char *cash, const char *transfer)
    {
        auto ds = table("Pagamenti").OpenDataSource();
        [&] { QVERIFY(ds->AddRow({QStringLiteral("OID_Movimenti"), movement, QStringLiteral("Contanti"), money(cash),
                                  QStringLiteral("Bonifico_Bancomat"), money(transfer)})); }();
        return ds->Bookmark();
    }

    int count()
    {
        QSqlQuery q = m_archive.database->exec("SELECT COUNT(*) FROM Eliminazioni");
        q.next();
        return q.value(0).toInt();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_sink = std::make_unique<TestSupport::RecordingSink>();
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        m_archive.context->UserName = QStringLiteral("Rossi");
    }

    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    void archiveOfThePreviousVersionGainsTheLog()
    {
        const qint64 movement = newMovement("100");
        m_archive.database->exec("DROP TABLE Eliminazioni");
        m_archive.database->exec("DELETE FROM objdb_tables WHERE name = 'Eliminazioni'");
        m_archive = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        QVERIFY(m_archive.context->Tables().Exists(DeletionLog::kTable));
        QCOMPARE(count(), 0);
        auto movements = table("Movimenti").OpenDataSource();
        QCOMPARE(movements->DeleteRows({movement}), 1);
        QCOMPARE(count(), 1);
    }

    void deletedPaymentIsLoggedWithItsAmounts()
    {
        const qint64 movement = newMovement("100");
        const qint64 payment = newPayment(movement, "50", "12,3456");
        auto payments = table("Pagamenti").OpenDataSource();
        QCOMPARE(payments->DeleteRows({payment}), 1);

        QSqlQuery q = m_archive.database->exec(
            "SELECT Operatore, Comando, Tabella, OID_Eliminato, OID_Movimenti, Contanti, Bonifico_Bancomat, Assegno, "
            "Anticipo, Valori, Quando FROM Eliminazioni");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Rossi"));
        QCOMPARE(q.value(1).toString(), DeletionLog::kRecordCommand);
        QCOMPARE(q.value(2).toString(), QStringLiteral("Pagamenti"));
        QCOMPARE(q.value(3).toLongLong(), payment);
        QCOMPARE(q.value(4).toLongLong(), movement);
        QCOMPARE(q.value(5).toLongLong(), 500000);
        QCOMPARE(q.value(6).toLongLong(), 123456);
        QCOMPARE(q.value(7).toLongLong(), 0);
        QCOMPARE(q.value(8).toLongLong(), 0);
        // The amounts and the movement are in their own columns; the rest of the row is text.
        QCOMPARE(q.value(9).toString(), QStringLiteral("Data=%1; DataCopertura=%1; Operatore=; TipoOperazione=")
                                            .arg(QDate::currentDate().toString(Qt::ISODate)));
        QVERIFY(QDateTime::fromString(q.value(10).toString(), Qt::ISODate).isValid());
        QVERIFY(!q.next());
    }

    void deletedMovementIsLoggedWithoutAmountColumns()
    {
        const qint64 movement = newMovement("-0,5");
        auto movements = table("Movimenti").OpenDataSource();
        QCOMPARE(movements->DeleteRows({movement}), 1);
        QSqlQuery q = m_archive.database->exec("SELECT Tabella, OID_Eliminato, Contanti, Valori FROM Eliminazioni");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Movimenti"));
        QCOMPARE(q.value(1).toLongLong(), movement);
        QVERIFY(q.value(2).isNull());
        QVERIFY2(q.value(3).toString().contains("Descrizione=Polizza casa; Importo=-0,5000"), qPrintable(q.value(3).toString()));
    }

    void refusedDeletionLeavesNoLogRow()
    {
        const qint64 movement = newMovement("100");
        newPayment(movement, "10", "0");
        auto movements = table("Movimenti").OpenDataSource();
        QCOMPARE(movements->DeleteRows({movement}), 0);
        QCOMPARE(count(), 0);
    }

    void operatorsCannotEditTheLog()
    {
        auto payments = table("Pagamenti").OpenDataSource();
        QCOMPARE(payments->DeleteRows({newPayment(newMovement("10"), "1", "0")}), 1);
        auto log = table("Eliminazioni").OpenDataSource();
        QVERIFY(!log->AddNew());
        QVERIFY(log->MoveFirst());
        QVERIFY(!log->SetField("Operatore", QStringLiteral("Bianchi")));
        QCOMPARE(log->DeleteRows({log->Bookmark()}), 0);
        QCOMPARE(count(), 1);
        QVERIFY(m_sink->messages.contains(QStringLiteral("Il registro delle eliminazioni è in sola lettura.")));
    }
};

COBRELLE_TEST_MAIN(TestDeletionLog)
#include "tst_deletionlog.moc"
