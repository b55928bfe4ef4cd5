// A stream of payment saves killed at random moments: every save is whole or absent, so every
// movement's outstanding amount still agrees with its payments.

#include "killharness.h"
#include "testsupport.h"

#include "objdb/amount.h"

#include <QApplication>
#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

constexpr int kMovements = 10;
constexpr int kSaves = 40;

QVariant euros(int units)
{
    return QVariant::fromValue(Amount::fromUnits(qint64(units) * 10000));
}

// The movements whose outstanding amount or paid flag disagrees with their payments, as text.
QString movementsOutOfLine(const QString &archivePath)
{
    TestSupport::Archive archive = TestSupport::openArchive(archivePath);
    QSqlQuery q = archive.database->exec(QStringLiteral(
        "SELECT m.OID, m.ImportoInSospeso, m.Importo - m.Sconto - COALESCE(SUM(p.Contanti + p.Bonifico_Bancomat"
        " + p.Assegno + p.Anticipo), 0) AS expected, m.Pagato FROM Movimenti m"
        " LEFT JOIN Pagamenti p ON p.OID_Movimenti = m.OID GROUP BY m.OID"
        " HAVING m.ImportoInSospeso <> expected OR m.Pagato <> (ABS(expected) <= 100)"));
    QStringList wrong;
    while (q.next())
        wrong.append(QStringLiteral("movement %1: outstanding %2, payments say %3, paid %4")
                         .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()));
    return wrong.join(QLatin1String("; "));
}

KillHarness::Operation paymentStream("payment-saves", [](const QString &archivePath, const QStringList &) {
    TestSupport::Archive archive = TestSupport::openArchive(archivePath);
    auto payments = archive.context->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource();
    QSqlQuery movements = archive.database->exec(QStringLiteral("SELECT OID FROM Movimenti ORDER BY OID"));
    QList<qint64> oids;
    while (movements.next())
        oids.append(movements.value(0).toLongLong());
    for (int i = 0; i < kSaves; ++i)
        payments->AddRow({QStringLiteral("OID_Movimenti"), oids[i % oids.size()], QStringLiteral("Contanti"), euros(1 + i % 7),
                          QStringLiteral("Assegno"), euros(i % 3)});
});

} // namespace

class TestKillSaves : public QObject {
    Q_OBJECT

private slots:
    void everySaveIsWholeOrAbsent()
    {
        TestSupport::TempWorkDir dir;
        {
            TestSupport::Archive archive = TestSupport::openArchive(dir.databasePath());
            auto movements = archive.context->Tables().Item(QStringLiteral("Movimenti")).OpenDataSource();
            for (int i = 0; i < kMovements; ++i)
                QVERIFY(movements->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Polizza %1").arg(i),
                                           QStringLiteral("Importo"), euros(500 + i), QStringLiteral("Sconto"), euros(i)}));
        }
        const auto outcome = KillHarness::run(QStringLiteral("payment-saves"), dir.databasePath(), movementsOutOfLine);
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QVERIFY2(outcome.killedMidway >= 15, qPrintable(QStringLiteral("only %1 kills landed midway").arg(outcome.killedMidway)));
    }
};

KILL_HARNESS_TEST_MAIN(TestKillSaves)
#include "tst_killsaves.moc"
