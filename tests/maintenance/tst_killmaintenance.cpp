// The conversion to Euro, the purge of settled payments and a stream of payment saves killed at
// random moments: afterwards each is whole or absent, and the check of the archive finds every
// movement's outstanding amount in agreement with its payments and purged payments.

#include "killharness.h"
#include "testsupport.h"

#include "data/archivefacts.h"
#include "maintenance/archivecheck.h"
#include "maintenance/modEuroConversion.h"
#include "maintenance/outstanding.h"
#include "maintenance/settledpurge.h"
#include "objdb/amount.h"

#include <QApplication>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>
#include <limits>

using namespace objdb;
using TestSupport::Archive;

namespace {

constexpr int kMovements = 4000;
const QDate kPurgeDay(2001, 12, 31);

bool always(int, int)
{
    return true;
}

qint64 number(Database &db, const QString &sql)
{
    QSqlQuery q = db.exec(sql);
    return q.next() ? q.value(0).toLongLong() : -1;
}

// Every amount of the archive, weighted by its row, in one number: equal numbers mean equal amounts
// for any archive these tests make.
qint64 amountsFingerprint(Database &db)
{
    return number(db, QStringLiteral(
        "SELECT (SELECT coalesce(SUM(OID * (Importo + 3 * Sconto + 5 * ImportoInSospeso + 7 * ScontoPrivato)), 0) FROM Movimenti)"
        " + (SELECT coalesce(SUM(OID * (Contanti + 3 * Bonifico_Bancomat + 5 * Assegno + 7 * Anticipo)), 0) FROM Pagamenti)"
        " + (SELECT coalesce(SUM(OID * (Contanti + 3 * Bonifico_Bancomat + 5 * Assegno + 7 * Anticipo)), 0) FROM Eliminazioni)"));
}

// "" when the check of the archive finds nothing, else its first findings.
QString checkFindings(const Archive &archive)
{
    const auto report = ArchiveCheck::Run(*archive.context);
    return report.clean ? QString() : report.lines.mid(0, 3).join(QLatin1String("; "));
}

// Movements of odd amounts, each with two payments over two years; every other one settled exactly
// by a third payment. Outstanding amounts and paid flags as the rules leave them.
void fillArchive(const QString &path)
{
    Archive archive = TestSupport::openArchive(path);
    Database &db = *archive.database;
    db.exec(QStringLiteral("INSERT INTO Movimenti (OID, Descrizione, Importo, Sconto, ScontoPrivato, ImportoInSospeso, Pagato) "
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "SELECT i, 'Movimento ' || i, (i * 7919 % 100000) * 10000 + i % 9973, (i % 7) * 1000, 0, 0, 0 FROM n")
                .arg(kMovements));
    const QString payments = QStringLiteral(
        "INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, Operatore, OID_Movimenti) "
        "SELECT date('2001-01-01', '+' || (OID * %1 % 730) || ' days'), %2, 0, %3, 0, 'Rossi', OID FROM Movimenti %4");
    db.exec(payments.arg(QStringLiteral("13"), QStringLiteral("Importo / 3"), QStringLiteral("Importo / 7"), QString()));
    db.exec(payments.arg(QStringLiteral("29"), QStringLiteral("Importo - Sconto - Importo / 3 - Importo / 7"),
                         QStringLiteral("0"), QStringLiteral("WHERE OID % 2 = 0")));
    db.exec(Outstanding::updateSql(),
            Outstanding::binds(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
}

KillHarness::Operation conversion("euro-conversion", [](const QString &path, const QStringList &) {
    Archive archive = TestSupport::openArchive(path);
    EuroConversion::Convert(*archive.context, always);
});

KillHarness::Operation purge("settled-purge", [](const QString &path, const QStringList &) {
    Archive archive = TestSupport::openArchive(path);
    SettledPurge::Run(*archive.context, kPurgeDay, always);
});

KillHarness::Operation saves("payment-saves-checked", [](const QString &path, const QStringList &) {
    Archive archive = TestSupport::openArchive(path);
    auto ds = archive.context->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource();
    for (int i = 0; i < 40; ++i)
        ds->AddRow({QStringLiteral("OID_Movimenti"), 1 + (i * 37) % kMovements, QStringLiteral("Contanti"),
                    QVariant::fromValue(Amount::fromUnits(12345 + i))});
});

} // namespace

class TestKillMaintenance : public QObject {
    Q_OBJECT

    TestSupport::TempWorkDir m_dir;

    QString source() const { return m_dir.databasePath(); }

    // The fingerprint of the source archive after the operation ran in-process on a copy of it.
    template <typename Operation>
    qint64 afterOnACopy(Operation operation, const std::function<qint64(Database &)> &measure)
    {
        const QString copy = m_dir.path() + QStringLiteral("/copy.mdb");
        QFile::remove(copy);
        [&] { QVERIFY(QFile::copy(source(), copy)); }();
        Archive archive = TestSupport::openArchive(copy);
        operation(*archive.context);
        return measure(*archive.database);
    }

    static void report(const KillHarness::Outcome &outcome)
    {
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QVERIFY2(outcome.killedMidway >= 10, qPrintable(QStringLiteral("only %1 kills landed midway").arg(outcome.killedMidway)));
    }

private slots:
    void initTestCase() { fillArchive(source()); }

    void conversionIsWholeOrAbsent()
    {
        qint64 before = 0;
        {
            Archive archive = TestSupport::openArchive(source());
            before = amountsFingerprint(*archive.database);
        }
        const qint64 after =
            afterOnACopy([](DataContext &c) { EuroConversion::Convert(c, always); }, amountsFingerprint);
        QVERIFY(after != before);
        report(KillHarness::run(QStringLiteral("euro-conversion"), source(), [&](const QString &path) {
            Archive archive = TestSupport::openArchive(path);
            const qint64 now = amountsFingerprint(*archive.database);
            if (now != before && now != after)
                return QStringLiteral("amounts half converted (%1; before %2, after %3)").arg(now).arg(before).arg(after);
            if (ArchiveFacts::Conversion(*archive.database).converted != (now == after))
                return QStringLiteral("the conversion's mark disagrees with the amounts");
            return checkFindings(archive);
        }));
    }

    void purgeIsWholeOrAbsent()
    {
        const auto count = [](Database &db) {
            return number(db, QStringLiteral("SELECT COUNT(*) FROM Pagamenti")) * 1000000
                + number(db, QStringLiteral("SELECT COUNT(*) FROM Eliminazioni"));
        };
        qint64 before = 0;
        {
            Archive archive = TestSupport::openArchive(source());
            before = count(*archive.database);
        }
        const qint64 after = afterOnACopy([](DataContext &c) { SettledPurge::Run(c, kPurgeDay, always); }, count);
        QVERIFY(after < before);
        report(KillHarness::run(QStringLiteral("settled-purge"), source(), [&](const QString &path) {
            Archive archive = TestSupport::openArchive(path);
            const qint64 now = count(*archive.database);
            if (now != before && now != after)
                return QStringLiteral("payments and log half purged (%1; before %2, after %3)").arg(now).arg(before).arg(after);
            return checkFindings(archive);
        }));
    }

    // Saves on an archive some of whose settled payments were purged: the check counts the purged
    // amounts from the log and still finds every movement in agreement.
    void paymentSavesLeaveTheArchiveInAgreement()
    {
        TestSupport::TempWorkDir dir;
        QVERIFY(QFile::copy(source(), dir.databasePath()));
        {
            Archive archive = TestSupport::openArchive(dir.databasePath());
            QVERIFY(SettledPurge::Run(*archive.context, kPurgeDay, always).deleted > 0);
        }
        report(KillHarness::run(QStringLiteral("payment-saves-checked"), dir.databasePath(), [](const QString &path) {
            return checkFindings(TestSupport::openArchive(path));
        }));
    }
};

KILL_HARNESS_TEST_MAIN(TestKillMaintenance)
#include "tst_killmaintenance.moc"
