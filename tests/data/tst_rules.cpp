// The archive's tables and the rules that keep every movement's outstanding amount right.

#include "testsupport.h"

#include "data/archivefacts.h"
#include "data/outstandingrule.h"
#include "data/tables.h"
#include "objdb/amount.h"
#include "objdb/error.h"

#include <QApplication>
#include <array>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QUuid>
#include <QtTest>

using namespace objdb;
using TestSupport::Archive;

namespace {

QVariant money(const char *text)
{
    return QVariant::fromValue(*Amount::parse(QString::fromLatin1(text)));
}

Amount amountOf(const QVariant &v)
{
    return *toAmount(v);
}

Amount euros(const char *text)
{
    return *Amount::parse(QString::fromLatin1(text));
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::RecordingSink> m_sink;
    Archive m_archive;

    Table &table(const char *name) { return m_archive.context->Tables().Item(QString::fromLatin1(name)); }

    // A movement of `importo` less `sconto`, returning its OID.
    qint64 newMovement(const char *importo, const char *sconto)
    {
        auto ds = table("Movimenti").OpenDataSource();
        [&] { QVERIFY(ds->AddNew()); }();
        ds->SetField(QStringLiteral("Descrizione"), QStringLiteral("Polizza auto"));
        ds->SetField(QStringLiteral("Importo"), money(importo));
        ds->SetField(QStringLiteral("Sconto"), money(sconto));
        ds->SaveRow();
        return ds->Bookmark();
    }

    std::shared_ptr<DataSource> movement(qint64 oid)
    {
        auto ds = table("Movimenti").OpenDataSource();
        [&] { QVERIFY(ds->FindOID(oid)); }();
        return ds;
    }

    Amount outstanding(qint64 movementOid) { return amountOf(movement(movementOid)->GetField("ImportoInSospeso")); }
    bool paid(qint64 movementOid) { return movement(movementOid)->GetField("Pagato").toBool(); }

    qint64 newPayment(qint64 movementOid, const char *cash, const char *cheque)
    {
        auto ds = table("Pagamenti").OpenDataSource();
        [&] { QVERIFY(ds->AddRow({QStringLiteral("OID_Movimenti"), movementOid, QStringLiteral("Contanti"), money(cash),
                                  QStringLiteral("Assegno"), money(cheque)})); }();
        return ds->Bookmark();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_sink = std::make_unique<TestSupport::RecordingSink>();
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
    }

    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    void newArchiveHoldsTheTablesAndDefaultRows()
    {
        // A server gives the names in its own case.
        QStringList names;
        for (const QString &name : m_archive.database->tables())
            if (!name.startsWith(QLatin1String("objdb_"), Qt::CaseInsensitive))
                names.append(name.toLower());
        names.sort();
        QCOMPARE(names, (QStringList{"collaboratori", "compagnie", "eliminazioni", "importazioni", "infoarchivio",
                                     "movimenti", "operatori", "pagamenti", "tipioperazione"}));

        auto operators = table("Operatori").OpenDataSource();
        QCOMPARE(operators->RecordCount(), 1);
        QVERIFY(operators->MoveFirst());
        QCOMPARE(operators->GetField("Nome").toString(), QStringLiteral("Amministratore"));
        QCOMPARE(operators->GetField("Password").toString(), QString());

        auto collaborators = table("Collaboratori").OpenDataSource();
        QCOMPARE(collaborators->RecordCount(), 1);
        QVERIFY(collaborators->MoveFirst());
        QCOMPARE(collaborators->GetField("Codice").toString(), QStringLiteral("00"));
        QCOMPARE(collaborators->GetField("Nome").toString(), QStringLiteral("Compagnia"));

        auto types = table("TipiOperazione").OpenDataSource(QString(), QStringLiteral("Codice"));
        QStringList codes;
        for (bool ok = types->MoveFirst(); ok; ok = types->MoveNext())
            codes.append(types->GetField("Codice").toString() + ":" + types->GetField("Descrizione").toString() + ":"
                         + (types->GetField("TipoSospeso").toBool() ? "1" : "0"));
        QCOMPARE(codes, (QStringList{"01:Incasso:0", "02:Rimborso:0", "03:Spese Postali:0", "04:Spese Varie:0",
                                     "05:Entrate Varie:0", "06:Incasso Anticipato:0", "07:Incasso Sospeso:1"}));
        QVERIFY(table("Compagnie").OpenDataSource()->IsEmpty());
        QVERIFY(table("Movimenti").OpenDataSource()->IsEmpty());
        QVERIFY(table("Pagamenti").OpenDataSource()->IsEmpty());
        QCOMPARE(table("TipiOperazione").Caption(), QStringLiteral("Tipi Operazione"));
    }

    void reopeningAddsNothing()
    {
        m_archive = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        QCOMPARE(table("TipiOperazione").OpenDataSource()->RecordCount(), 7);
        QCOMPARE(table("Operatori").OpenDataSource()->RecordCount(), 1);
    }

    // Every archive has an identity of its own, made with it or, for an archive of an older
    // structure, by the upgrade that adds the archive's records; reopening keeps it.
    void everyArchiveHasAnIdentityOfItsOwn()
    {
        const QString made = ArchiveFacts::Identity(*m_archive.database);
        QVERIFY(!QUuid::fromString(made).isNull());
        QVERIFY(!ArchiveFacts::Conversion(*m_archive.database).converted);
        for (const char *name : {"InfoArchivio", "Importazioni"}) {
            m_archive.database->exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(name)));
            m_archive.database->exec(QStringLiteral("DELETE FROM objdb_tables WHERE name = ?"), {QLatin1String(name)});
        }
        QCOMPARE(ArchiveFacts::Identity(*m_archive.database), QString());
        m_archive = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        const QString upgraded = ArchiveFacts::Identity(*m_archive.database);
        QVERIFY(!QUuid::fromString(upgraded).isNull());
        QVERIFY(upgraded != made);
        m_archive = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        QCOMPARE(ArchiveFacts::Identity(*m_archive.database), upgraded);
        // Nobody edits them.
        auto facts = table("InfoArchivio").OpenDataSource();
        QVERIFY(facts->MoveFirst());
        QVERIFY(!facts->SetField("Identita", QStringLiteral("altra")));
        QVERIFY(!table("Importazioni").OpenDataSource()->AddNew());
    }

    void upgradeFromVersionOneMarksTheSettlementType()
    {
        m_archive.database->exec(QStringLiteral("UPDATE TipiOperazione SET TipoSospeso = 0"));
        m_archive.database->exec(QStringLiteral("UPDATE objdb_tables SET version = 1.0 WHERE name = 'TipiOperazione'"));
        m_archive = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        auto types = table("TipiOperazione").OpenDataSource();
        QVERIFY(types->FindFirst("TipoSospeso=True"));
        QCOMPARE(types->GetField("Codice").toString(), QStringLiteral("07"));
        QVERIFY(!types->Find("TipoSospeso=True", true));
    }

    // An archive made before payments were indexed by movement and date gets the index from the
    // upgrade, once; a current archive keeps the one it was made with.
    void paymentsAreIndexedByMovementAndDate_data()
    {
        QTest::addColumn<bool>("older");
        QTest::newRow("an archive of the previous structure") << true;
        QTest::newRow("a current archive") << false;
    }

    void paymentsAreIndexedByMovementAndDate()
    {
        QFETCH(bool, older);
        const auto indexes = [this] {
            QSqlQuery q = m_archive.database->exec(
                TestSupport::serverArchives()
                    ? QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE tablename = 'pagamenti' "
                                     "AND indexdef LIKE '%(oid_movimenti, data)'")
                    : QStringLiteral("SELECT COUNT(*) FROM pragma_index_list('Pagamenti') l "
                                     "WHERE (SELECT group_concat(name) FROM pragma_index_info(l.name)) = 'OID_Movimenti,Data'"));
            return q.next() ? q.value(0).toInt() : -1;
        };
        if (older) {
            m_archive.database->exec(QStringLiteral("DROP INDEX %1").arg(QLatin1String(Pagamenti::kByMovementAndDateIndex)));
            m_archive.database->exec(QStringLiteral("UPDATE objdb_tables SET version = 1.0 WHERE name = 'Pagamenti'"));
            QCOMPARE(indexes(), 0);
        }
        for (int opening = 0; opening < 2; ++opening) {
            m_archive = {};
            m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
            QCOMPARE(indexes(), 1);
        }
        QSqlQuery version = m_archive.database->exec(QStringLiteral("SELECT version FROM objdb_tables WHERE name = 'Pagamenti'"));
        QVERIFY(version.next());
        QCOMPARE(version.value(0).toDouble(), 1.1);
    }

    void uniqueIndexesRefuseDuplicates()
    {
        auto companies = table("Compagnie").OpenDataSource();
        QVERIFY(companies->AddRow({"Codice", "A1", "RagioneSociale", "Alfa"}));
        QVERIFY_THROWS_EXCEPTION(Error, companies->AddRow({"Codice", "A1", "RagioneSociale", "Beta"}));
        QVERIFY(companies->AddRow({"Codice", "a1", "RagioneSociale", "Gamma"})); // exact comparison
        auto collaborators = table("Collaboratori").OpenDataSource();
        QVERIFY_THROWS_EXCEPTION(Error, collaborators->AddRow({"Codice", "00", "Nome", "Altro"}));
        QVERIFY_THROWS_EXCEPTION(Error, collaborators->AddRow({"Codice", "01", "Nome", "Compagnia"}));
        auto operators = table("Operatori").OpenDataSource();
        // The table's rule refuses an operator's name before the index does.
        QVERIFY(!operators->AddRow({"Nome", "Amministratore"}));
        QCOMPARE(table("Operatori").OpenDataSource()->RecordCount(), 1);
        QCOMPARE(table("Compagnie").OpenDataSource()->RecordCount(), 2);
        QCOMPARE(table("Collaboratori").OpenDataSource()->RecordCount(), 1);
    }

    void newRowValues()
    {
        auto operators = table("Operatori").OpenDataSource();
        QVERIFY(operators->AddRow({"Nome", "Mario"}));
        QCOMPARE(operators->GetField("Password").toString(), QString(""));
        QVERIFY(!operators->GetField("Password").isNull());
        auto companies = table("Compagnie").OpenDataSource();
        QVERIFY(companies->AddRow({"Codice", "X", "RagioneSociale", "X spa"}));
        QVERIFY(!companies->GetField("Indirizzo").isNull());
        auto movements = table("Movimenti").OpenDataSource();
        QVERIFY(movements->AddNew());
        QCOMPARE(amountOf(movements->GetField("Sconto")), Amount());
        // Nothing owed yet: covered until an amount is typed.
        QCOMPARE(movements->GetField("Pagato").toBool(), true);
        QVERIFY(movements->SetField("Importo", money("100")));
        QCOMPARE(movements->GetField("Pagato").toBool(), false);
        auto payments = table("Pagamenti").OpenDataSource();
        QVERIFY(payments->AddNew());
        QCOMPARE(payments->GetField("Data").toDate(), QDate::currentDate());
        QCOMPARE(payments->GetField("DataCopertura").toDate(), QDate::currentDate());
        QCOMPARE(amountOf(payments->GetField("Bonifico_Bancomat")), Amount());
        // No movement chosen yet: its columns read Null and the preset never reaches a movement.
        QVERIFY(payments->GetField("ImportoInSospeso").isNull());
    }

    void movementAndPaymentExamples()
    {
        const qint64 mov = newMovement("100", "10");
        auto m = movement(mov);
        QCOMPARE(amountOf(m->GetField("ImportoInSospeso")), Amount::fromInteger(90));
        QCOMPARE(m->GetField("Pagato").toBool(), false);
        QVERIFY(m->SetField("Sconto", money("20")));
        m->SaveRow();
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(80));

        const qint64 pay = newPayment(mov, "50", "30");
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount());
        QCOMPARE(movement(mov)->GetField("Pagato").toBool(), true);

        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->FindOID(pay));
        QVERIFY(p->SetField("Contanti", money("40")));
        p->SaveRow();
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(10));
        QCOMPARE(movement(mov)->GetField("Pagato").toBool(), false);

        QCOMPARE(p->DeleteRows({pay}), 1);
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(80));
        QVERIFY(table("Pagamenti").OpenDataSource()->IsEmpty());
    }

    void coveredWithinOneCent_data()
    {
        QTest::addColumn<QString>("paid");
        QTest::addColumn<bool>("covered");
        QTest::newRow("0.01 left") << "99.99" << true;
        QTest::newRow("0.01 over") << "100.01" << true;
        QTest::newRow("0.02 left") << "99.98" << false;
        QTest::newRow("overpaid") << "150" << false;
        QTest::newRow("exact") << "100" << true;
    }

    void coveredWithinOneCent()
    {
        QFETCH(QString, paid);
        QFETCH(bool, covered);
        const qint64 mov = newMovement("100", "0");
        newPayment(mov, paid.toLatin1().constData(), "0");
        auto m = movement(mov);
        QCOMPARE(m->GetField("Pagato").toBool(), covered);
        QCOMPARE(amountOf(m->GetField("ImportoInSospeso")), Amount::fromInteger(100) - *Amount::parse(paid));
    }

    // The rules and the maintenance read the rule alike: a payment's sum with its empty columns as 0,
    // and the paid test at the edge of the tolerance either way (here with 100 owed).
    void ruleReadsAlikeInCodeAndInSql_data()
    {
        QTest::addColumn<QStringList>("payment"); // the amount columns in order; "" leaves one empty
        QTest::addColumn<bool>("covered");
        QTest::newRow("0,01 left") << QStringList{"99.99", "", "", ""} << true;
        QTest::newRow("0,0101 left") << QStringList{"50", "49.9899", "", ""} << false;
        QTest::newRow("0,01 over") << QStringList{"100", "", "", "0.01"} << true;
        QTest::newRow("0,0101 over") << QStringList{"", "", "100.0101", ""} << false;
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << false;
    }

    void ruleReadsAlikeInCodeAndInSql()
    {
        QFETCH(QStringList, payment);
        QFETCH(bool, covered);
        const QStringList &columns = OutstandingRule::PaymentColumns();
        QHash<QString, QVariant> row;
        QStringList selected;
        const qint64 owed = euros("100").units();
        QVariantList binds{owed, owed}; // the amount owed, in the outstanding amount and in its paid test
        for (int i = 0; i < columns.size(); ++i) {
            const bool empty = payment.at(i).isEmpty();
            row.insert(columns.at(i), empty ? QVariant() : money(payment.at(i).toLatin1().constData()));
            // Typed as the archive's amounts: a server takes a bare parameter for text.
            selected.append(QStringLiteral("CAST(? AS BIGINT) AS %1").arg(columns.at(i)));
            binds.append(empty ? QVariant() : QVariant(qint64(euros(payment.at(i).toLatin1().constData()).units())));
        }
        const Amount paidBy = OutstandingRule::PaidBy([&row](const QString &column) { return row.value(column); });
        const Amount left = OutstandingRule::NetAmount(money("100"), QVariant()) - paidBy;
        QCOMPARE(OutstandingRule::IsPaid(QVariant::fromValue(left)), covered);

        const QString outstanding =
            OutstandingRule::OutstandingSql(QStringLiteral("CAST(? AS BIGINT)"), QStringLiteral("NULL"), {QStringLiteral("x.s")});
        QSqlQuery q = m_archive.database->exec(QStringLiteral("SELECT x.s, %1, %2 FROM (SELECT %3 AS s FROM (SELECT %4) AS v) AS x")
                                                   .arg(outstanding, OutstandingRule::IsPaidSql(outstanding),
                                                        OutstandingRule::PaidSql(QStringLiteral("v")),
                                                        selected.join(QStringLiteral(", "))),
                                               binds);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), paidBy.units());
        QCOMPARE(q.value(1).toLongLong(), left.units());
        QCOMPARE(q.value(2).toBool(), covered);
    }

    void amountsAreExact()
    {
        const qint64 mov = newMovement("0.3", "0");
        newPayment(mov, "0.1", "0.2");
        auto m = movement(mov);
        QCOMPARE(amountOf(m->GetField("ImportoInSospeso")), Amount());
        QVERIFY(m->GetField("Pagato").toBool());
        // Four decimals are kept, nothing is cut to two.
        const qint64 other = newMovement("10.0001", "0");
        QCOMPARE(amountOf(movement(other)->GetField("ImportoInSospeso")), Amount::fromUnits(100001));
    }

    void emptyPaymentColumnCountsAsZero()
    {
        const qint64 mov = newMovement("100", "0");
        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->AddRow({"OID_Movimenti", mov, "Contanti", money("60"), "Assegno", QVariant()}));
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(40));
        QVERIFY(p->SetField("Assegno", money("40")));
        p->SaveRow();
        QVERIFY(movement(mov)->GetField("Pagato").toBool());
    }

    // A movement saved before its amount is known takes payments, and whatever is left empty or
    // emptied later counts as 0; an emptied discount or payment amount is stored as 0.
    void emptyAmountsCountAsZero()
    {
        auto m = table("Movimenti").OpenDataSource();
        QVERIFY(m->AddNew());
        QVERIFY(m->SetField("Descrizione", QStringLiteral("Da definire")));
        m->SaveRow();
        const qint64 mov = m->Bookmark();
        QVERIFY(paid(mov)); // nothing owed; still offered as the parent of a payment
        {
            auto parents = table("Movimenti").OpenDataSource();
            auto child = table("Pagamenti").OpenDataSource();
            QVERIFY(child->AddNew());
            Pagamenti().OnSelectParent(*child, *parents);
            QList<qint64> offered;
            for (bool more = parents->MoveFirst(); more; more = parents->MoveNext())
                offered.append(parents->Bookmark());
            QCOMPARE(offered, QList<qint64>{mov});
        }
        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->AddRow({"OID_Movimenti", mov, "Contanti", money("30"), "Bonifico_Bancomat", money("0"), "Assegno",
                           money("0"), "Anticipo", money("0")}));
        const qint64 first = p->Bookmark();
        QCOMPARE(outstanding(mov), euros("-30"));
        QVERIFY(m->SetField("Importo", money("100")));
        m->SaveRow();
        QCOMPARE(outstanding(mov), euros("70"));

        QVERIFY(m->SetField("Importo", QVariant()));
        m->SaveRow();
        QCOMPARE(outstanding(mov), euros("-30"));
        const qint64 second = newPayment(mov, "20", "0");
        QVERIFY(m->FindOID(mov));
        QVERIFY(m->SetField("Importo", money("100")));
        m->SaveRow();
        QCOMPARE(outstanding(mov), euros("50"));

        QVERIFY(m->SetField("Sconto", money("10")));
        QVERIFY(m->SetField("Sconto", QVariant()));
        m->SaveRow();
        QCOMPARE(outstanding(mov), euros("50"));
        QCOMPARE(amountOf(movement(mov)->GetField("Sconto")), Amount());

        QVERIFY(p->FindOID(first));
        QVERIFY(p->SetField("Contanti", QVariant()));
        p->SaveRow();
        QCOMPARE(amountOf(p->GetField("Contanti")), Amount());
        QCOMPARE(outstanding(mov), euros("80"));
        QCOMPARE(p->DeleteRows({second}), 1);
        QCOMPARE(outstanding(mov), euros("100"));

        // Amounts stored empty by another writer (an imported archive) count as 0 too.
        const qint64 third = newPayment(mov, "100", "0");
        QVERIFY(paid(mov));
        m_archive.database->exec("UPDATE Movimenti SET Sconto = NULL");
        m_archive.database->exec("UPDATE Pagamenti SET Assegno = NULL, Anticipo = NULL");
        QVERIFY(p->FindOID(third));
        QVERIFY(p->SetField("Assegno", money("5")));
        p->SaveRow();
        QCOMPARE(outstanding(mov), euros("-5"));
        QVERIFY(!paid(mov));
        QVERIFY(m->FindOID(mov));
        QVERIFY(m->SetField("Importo", money("105")));
        m->SaveRow();
        QCOMPARE(outstanding(mov), Amount());
        QVERIFY(paid(mov));
        QCOMPARE(p->DeleteRows({third}), 1);
        QCOMPARE(outstanding(mov), euros("105"));
    }

    // Two copies of the program on one archive: each save applies its rules' changes to the movement
    // as stored when it saves, so neither desk undoes what the other saved meanwhile.
    void twoDesksKeepEachOthersPayments()
    {
        const Archive other = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        const auto onOtherDesk = [&](const char *name) {
            return other.context->Tables().Item(QString::fromLatin1(name)).OpenDataSource();
        };
        const qint64 mov = newMovement("100", "0");

        // Desk A chooses the movement and types 30; desk B saves a payment of 50 meanwhile.
        auto a = table("Pagamenti").OpenDataSource();
        QVERIFY(a->AddNew());
        QVERIFY(a->SetField("OID_Movimenti", mov));
        QVERIFY(a->SetField("Contanti", money("30")));
        QVERIFY(onOtherDesk("Pagamenti")->AddRow({"OID_Movimenti", mov, "Contanti", money("50")}));
        a->SaveRow();
        QCOMPARE(outstanding(mov), euros("20"));
        const qint64 first = a->Bookmark();

        // A raises its payment to 40 while B pays the last 10: covered, though neither desk saw it so.
        QVERIFY(a->SetField("Contanti", money("40")));
        QVERIFY(onOtherDesk("Pagamenti")->AddRow({"OID_Movimenti", mov, "Assegno", money("10")}));
        a->SaveRow();
        QCOMPARE(outstanding(mov), Amount());
        QVERIFY(paid(mov));

        // A raises the movement's amount while B takes a payment of 20.
        auto am = movement(mov);
        QVERIFY(am->SetField("Importo", money("150")));
        QVERIFY(onOtherDesk("Pagamenti")->AddRow({"OID_Movimenti", mov, "Contanti", money("20")}));
        am->SaveRow();
        QCOMPARE(outstanding(mov), euros("30"));
        QVERIFY(!paid(mov));
        QCOMPARE(amountOf(movement(mov)->GetField("Importo")), euros("150"));

        // Both change the same amount of one payment: the later save is refused and keeps its input.
        QVERIFY(a->FindOID(first));
        QVERIFY(a->SetField("Contanti", money("45")));
        auto b = onOtherDesk("Pagamenti");
        QVERIFY(b->FindOID(first));
        QVERIFY(b->SetField("Contanti", money("35")));
        b->SaveRow();
        QCOMPARE(outstanding(mov), euros("35"));
        QVERIFY_THROWS_EXCEPTION(Error, a->SaveRow());
        QCOMPARE(outstanding(mov), euros("35"));
        QCOMPARE(amountOf(a->GetField("Contanti")), euros("45"));
        a->CancelEdit();
        QCOMPARE(amountOf(a->GetField("Contanti")), euros("35"));

        // A payment deleted on one desk while the other edits it gives its amount back once.
        QVERIFY(a->SetField("Assegno", money("5")));
        QCOMPARE(b->DeleteRows({first}), 1);
        QCOMPARE(outstanding(mov), euros("70"));
        QVERIFY_THROWS_EXCEPTION(Error, a->SaveRow());
        QCOMPARE(outstanding(mov), euros("70"));
        QCOMPARE(table("Pagamenti").OpenDataSource()->RecordCount(), 3);
    }

    void otherColumnsChangeNoAmount()
    {
        const qint64 mov = newMovement("100", "10");
        const qint64 pay = newPayment(mov, "20", "0");
        auto m = movement(mov);
        QVERIFY(m->SetField("Descrizione", QStringLiteral("Altra")));
        m->SaveRow();
        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->FindOID(pay));
        QVERIFY(p->SetField("DataCopertura", QDate(2020, 1, 1)));
        p->SaveRow();
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(70));
    }

    // Changing a payment's date to another day than today asks; No puts back the date it had before
    // the change (a new payment's is today), Yes keeps the new one.
    void changingThePaymentDateAsks_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QList<QDate>>("typed");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QDate>("kept");
        const QDate today = QDate::currentDate();
        const QDate old(2005, 3, 7);
        const int yes = int(MessageService::Answer::Yes);
        const int no = int(MessageService::Answer::No);
        QTest::newRow("old payment, No") << true << QList<QDate>{today.addDays(-1)} << QList<int>{no} << old;
        QTest::newRow("old payment, Yes") << true << QList<QDate>{QDate(2010, 1, 1)} << QList<int>{yes} << QDate(2010, 1, 1);
        QTest::newRow("old payment, today asks nothing") << true << QList<QDate>{today} << QList<int>{} << today;
        QTest::newRow("No after an accepted change") << true << QList<QDate>{QDate(2010, 1, 1), QDate(2011, 1, 1)}
                                                     << QList<int>{yes, no} << QDate(2010, 1, 1);
        QTest::newRow("new payment, No") << false << QList<QDate>{today.addDays(-1)} << QList<int>{no} << today;
    }
    void changingThePaymentDateAsks()
    {
        QFETCH(bool, stored);
        QFETCH(QList<QDate>, typed);
        QFETCH(QList<int>, answers);
        QFETCH(QDate, kept);
        const qint64 mov = newMovement("100", "0");
        auto p = table("Pagamenti").OpenDataSource();
        if (stored) {
            const qint64 pay = newPayment(mov, "10", "0");
            m_archive.database->exec(QStringLiteral("UPDATE Pagamenti SET Data = '2005-03-07' WHERE OID = ?"), {pay});
            QVERIFY(p->FindOID(pay));
        } else {
            QVERIFY(p->AddNew());
            QVERIFY(p->SetParent(mov));
        }
        TestSupport::ScriptedMessages script;
        for (const int answer : answers)
            script.push(MessageService::Answer(answer));
        for (const QDate &date : typed)
            QVERIFY(p->SetField("Data", date));
        QCOMPARE(script.seen().size(), answers.size());
        for (const QString &text : script.texts())
            QCOMPARE(text, QStringLiteral("Confermi il cambio della data del Movimento?"));
        QCOMPARE(p->GetField("Data").toDate(), kept);
        p->SaveRow();
        auto saved = table("Pagamenti").OpenDataSource();
        QVERIFY(saved->FindOID(p->Bookmark()));
        QCOMPARE(saved->GetField("Data").toDate(), kept);
    }

    void advanceEmptiesTodaysCoverageDate()
    {
        const qint64 mov = newMovement("100", "0");
        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->AddRow({"OID_Movimenti", mov, "Contanti", money("10")}));
        QVERIFY(p->SetField("Anticipo", money("5")));
        QVERIFY(p->GetField("DataCopertura").isNull());
        QVERIFY(p->SetField("DataCopertura", QDate(2020, 5, 5)));
        QVERIFY(p->SetField("Anticipo", money("6")));
        QCOMPARE(p->GetField("DataCopertura").toDate(), QDate(2020, 5, 5));
        p->SaveRow();
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(84));
    }

    void parentChoiceOffersUnpaidMovementsAndSetsTheType()
    {
        const qint64 open = newMovement("100", "0");
        const qint64 settled = newMovement("50", "0");
        newPayment(settled, "50", "0");
        auto p = table("Pagamenti").OpenDataSource();
        QVERIFY(p->AddNew());
        auto candidates = p->OpenParentCandidates();
        QCOMPARE(candidates->keys(), QList<qint64>{open});
        QCOMPARE(p->GetField("Cod_TipoOperazione").toString(), QStringLiteral("07"));
        QCOMPARE(p->GetField("TipoOperazione").toString(), QStringLiteral("Incasso Sospeso"));
        auto types = p->OpenReferenceCandidates("TipoOperazione");
        QVERIFY(types->MoveFirst());
        QCOMPARE(types->GetField("Codice").toString(), QStringLiteral("01"));
    }

    void protectedRowsAreNotDeleted()
    {
        // Names differing only in case are refused today; an archive of an earlier version may hold one.
        m_archive.database->exec("INSERT INTO Operatori (Nome, Password) VALUES ('amministratore', '')");
        auto operators = table("Operatori").OpenDataSource();
        QVERIFY(operators->FindFirst("Nome='amministratore'"));
        const qint64 lowerCase = operators->Bookmark();
        QVERIFY(operators->FindFirst("Nome='Amministratore'"));
        QCOMPARE(operators->DeleteRows({operators->Bookmark()}), 0);
        QCOMPARE(m_sink->messages.last(), QStringLiteral("Non è possibile eliminare l'utente Amministratore."));
        QCOMPARE(operators->DeleteRows({lowerCase}), 1);
        QCOMPARE(table("Operatori").OpenDataSource()->RecordCount(), 1);

        auto types = table("TipiOperazione").OpenDataSource();
        QVERIFY(types->FindFirst("Codice='07'"));
        QCOMPARE(types->DeleteRows({types->Bookmark()}), 0);
        QCOMPARE(m_sink->messages.last(), QStringLiteral("Non è possibile eliminare il tipo Incasso Sospeso"));
        QVERIFY(types->FindFirst("Codice='03'"));
        QCOMPARE(types->DeleteRows({types->Bookmark()}), 1);

        auto collaborators = table("Collaboratori").OpenDataSource();
        QVERIFY(collaborators->AddRow({"Codice", "NI", "Nome", "Non impostato"}));
        QCOMPARE(collaborators->DeleteRows({collaborators->Bookmark()}), 0);
        QCOMPARE(m_sink->messages.last(), QStringLiteral("Non è possibile eliminare la voce 'Non impostato'."));
        QVERIFY(collaborators->FindFirst("Codice='00'"));
        QCOMPARE(collaborators->DeleteRows({collaborators->Bookmark()}), 1);
    }

    void rowsStillInUseAreNotDeleted()
    {
        const qint64 mov = newMovement("100", "0");
        newPayment(mov, "10", "0");
        auto m = movement(mov);
        QCOMPARE(m->DeleteRows({mov}), 0);
        QVERIFY(m_sink->messages.last().contains("Pagamenti"));
        QCOMPARE(amountOf(movement(mov)->GetField("ImportoInSospeso")), Amount::fromInteger(90));

        auto types = table("TipiOperazione").OpenDataSource();
        QVERIFY(types->FindFirst("Codice='07'"));
        auto payments = table("Pagamenti").OpenDataSource();
        QVERIFY(payments->MoveFirst());
        QVERIFY(payments->SetReferenceKey("TipoOperazione", "01"));
        payments->SaveRow();
        QVERIFY(types->FindFirst("Codice='01'"));
        QCOMPARE(types->DeleteRows({types->Bookmark()}), 0);
        QVERIFY(m_sink->messages.last().contains("Pagamenti"));
    }

    void hostileCriterionStaysData()
    {
        auto operators = table("Operatori").OpenDataSource();
        QVERIFY(!operators->FindFirst(QStringLiteral("Nome=") + table("Operatori").Literal("Nome", "x'; DROP TABLE Operatori; --")));
        QVERIFY(!operators->FindFirst(QStringLiteral("Nome=") + table("Operatori").Literal("Nome", "amministratore")));
        QVERIFY(operators->FindFirst(QStringLiteral("Nome=") + table("Operatori").Literal("Nome", "Amministratore")));
        QVERIFY_THROWS_EXCEPTION(Error, operators->FindFirst(QStringLiteral("Nome='x' OR 1=1; DROP TABLE Operatori")));
        QCOMPARE(table("Operatori").OpenDataSource()->RecordCount(), 1);
        // With no match there is no current row, so nothing else can be written by mistake.
        QVERIFY(!operators->FindFirst("Nome='Nessuno'"));
        QVERIFY_THROWS_EXCEPTION(Error, operators->SetField("Password", "x"));
    }

    void wrongValuesAreRefusedAndLeaveNothing()
    {
        auto companies = table("Compagnie").OpenDataSource();
        QVERIFY(companies->AddNew());
        QVERIFY_THROWS_EXCEPTION(Error, companies->SetField("Codice", QString(17, QLatin1Char('x'))));
        auto movements = table("Movimenti").OpenDataSource();
        QVERIFY(movements->AddNew());
        QVERIFY_THROWS_EXCEPTION(Error, movements->SetField("Importo", "cento"));
        QVERIFY_THROWS_EXCEPTION(Error, movements->SetField("Importo", 10.5));
        QVERIFY(table("Compagnie").OpenDataSource()->IsEmpty());
        QVERIFY(table("Movimenti").OpenDataSource()->IsEmpty());
    }

    // Any mix of writes from two desks on one archive (payments added, changed, emptied, changed and
    // abandoned, deleted several at once; movement amounts and discounts changed or emptied; edits
    // held open while the other desk saves on the same movement) leaves every movement's outstanding
    // amount equal to its net amount less all its payments, empty counting as 0, and its paid flag set
    // exactly when that is within a cent.
    void randomEditsKeepEveryOutstandingAmountRight()
    {
        const Archive other = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
        const std::array<DataContext *, 2> desks{m_archive.context.get(), other.context.get()};
        const auto open = [&](int desk, const char *name) {
            return desks.at(desk)->Tables().Item(QString::fromLatin1(name)).OpenDataSource();
        };
        QRandomGenerator random(20261208);
        const QStringList paymentColumns{"Contanti", "Bonifico_Bancomat", "Assegno", "Anticipo"};
        const auto someAmount = [&] {
            if (random.bounded(6) == 0)
                return QVariant();
            return QVariant::fromValue(Amount::fromUnits(random.bounded(0, 3000000))); // up to 300, four decimals
        };
        const auto pick = [&](const QList<qint64> &oids) { return oids.at(random.bounded(int(oids.size()))); };

        QList<qint64> movements;
        QHash<qint64, qint64> movementOf; // payment → its movement
        const auto paymentsOf = [&](qint64 mov, qint64 except) {
            QList<qint64> found;
            for (auto it = movementOf.cbegin(); it != movementOf.cend(); ++it)
                if (it.value() == mov && it.key() != except)
                    found.append(it.key());
            return found;
        };
        const auto newPaymentOn = [&](DataSource &ds, qint64 mov) {
            QVariantList values{QStringLiteral("OID_Movimenti"), mov};
            for (const QString &column : paymentColumns)
                values << column << someAmount();
            QVERIFY(ds.AddRow(values));
            movementOf.insert(ds.Bookmark(), mov);
        };
        const auto changeOneAmount = [&](DataSource &ds, qint64 payment) {
            QVERIFY(ds.FindOID(payment));
            QVERIFY(ds.SetField(paymentColumns.at(random.bounded(4)), someAmount()));
        };
        const auto changeNetAmount = [&](DataSource &ds, qint64 mov) {
            QVERIFY(ds.FindOID(mov));
            QVERIFY(ds.SetField(random.bounded(2) ? "Importo" : "Sconto", someAmount()));
        };
        const auto deleteSome = [&](DataSource &ds, QList<qint64> candidates) {
            QList<qint64> doomed;
            for (int n = random.bounded(1, 4); n > 0 && !candidates.isEmpty(); --n)
                doomed.append(candidates.takeAt(random.bounded(int(candidates.size()))));
            QCOMPARE(ds.DeleteRows(doomed), int(doomed.size()));
            for (const qint64 oid : std::as_const(doomed))
                movementOf.remove(oid);
        };

        for (int i = 0; i < 4; ++i) {
            auto ds = open(i % 2, "Movimenti");
            QVERIFY(ds->AddRow({"Descrizione", "Polizza", "Importo", someAmount(), "Sconto", someAmount()}));
            movements.append(ds->Bookmark());
        }
        for (int step = 0; step < 250; ++step) {
            const int desk = random.bounded(2);
            const int operation = movementOf.isEmpty() ? 0 : random.bounded(6);
            switch (operation) {
            case 0: // a new payment, its movement chosen first
                newPaymentOn(*open(desk, "Pagamenti"), pick(movements));
                break;
            case 1: { // one amount of a payment changed or emptied
                auto ds = open(desk, "Pagamenti");
                changeOneAmount(*ds, pick(movementOf.keys()));
                ds->SaveRow();
                break;
            }
            case 2: { // changed, then abandoned
                auto ds = open(desk, "Pagamenti");
                changeOneAmount(*ds, pick(movementOf.keys()));
                ds->CancelEdit();
                break;
            }
            case 3: // one to three payments deleted together
                deleteSome(*open(desk, "Pagamenti"), movementOf.keys());
                break;
            case 4: { // the movement's amount or discount changed or emptied
                auto ds = open(desk, "Movimenti");
                changeNetAmount(*ds, pick(movements));
                ds->SaveRow();
                break;
            }
            case 5: { // an edit held open on one desk while the other saves on the same movement
                const qint64 mov = pick(movements);
                const int kind = random.bounded(3);
                auto held = open(desk, kind == 2 ? "Movimenti" : "Pagamenti");
                qint64 heldPayment = 0;
                if (kind == 2) {
                    changeNetAmount(*held, mov);
                } else if (kind == 1 && !paymentsOf(mov, 0).isEmpty()) {
                    heldPayment = pick(paymentsOf(mov, 0));
                    changeOneAmount(*held, heldPayment);
                } else {
                    QVERIFY(held->AddNew());
                    QVERIFY(held->SetField("OID_Movimenti", mov));
                    for (const QString &column : paymentColumns)
                        QVERIFY(held->SetField(column, someAmount()));
                }
                auto ds = open(1 - desk, "Pagamenti");
                const QList<qint64> others = paymentsOf(mov, heldPayment);
                switch (others.isEmpty() ? 0 : random.bounded(3)) {
                case 0: newPaymentOn(*ds, mov); break;
                case 1: changeOneAmount(*ds, pick(others)); ds->SaveRow(); break;
                case 2: deleteSome(*ds, others); break;
                }
                held->SaveRow();
                if (kind != 2 && heldPayment == 0)
                    movementOf.insert(held->Bookmark(), mov);
                break;
            }
            }
            QSqlQuery q = m_archive.database->exec(QStringLiteral(
                "SELECT m.OID, COALESCE(m.Importo, 0) - COALESCE(m.Sconto, 0) - COALESCE((SELECT SUM(COALESCE(p.Contanti, 0) + "
                "COALESCE(p.Bonifico_Bancomat, 0) + COALESCE(p.Assegno, 0) + COALESCE(p.Anticipo, 0)) "
                "FROM Pagamenti AS p WHERE p.OID_Movimenti = m.OID), 0), m.ImportoInSospeso, m.Pagato FROM Movimenti AS m"));
            int checked = 0;
            while (q.next()) {
                const qint64 expected = q.value(1).toLongLong(), stored = q.value(2).toLongLong();
                QVERIFY2(!q.value(2).isNull() && stored == expected,
                         qPrintable(QStringLiteral("step %1 (operation %2), movement %3: %4 outstanding, %5 expected")
                                        .arg(step).arg(operation).arg(q.value(0).toLongLong()).arg(stored).arg(expected)));
                QCOMPARE(q.value(3).toBool(), std::abs(expected) <= Amount::kScale / 100);
                ++checked;
            }
            QCOMPARE(checked, movements.size());
            QCOMPARE(table("Pagamenti").OpenDataSource()->RecordCount(), int(movementOf.size()));
        }
    }
};

COBRELLE_TEST_MAIN(TestRules)
#include "tst_rules.moc"
