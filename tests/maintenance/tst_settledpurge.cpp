// The purge of settled payments: payments of settled movements up to the day go, logged with their
// amounts; the movements stay settled; outstanding movements keep every payment; a stop or a
// refused date deletes nothing.

#include "ledgerfixture.h"

#include "data/deletionlog.h"
#include "maintenance/frmDeletePayment.h"
#include "maintenance/settledpurge.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>

using MessageService::Answer;

namespace {

const QDate kDay(2005, 3, 31);

bool never(int, int)
{
    return true;
}

} // namespace

class TestSettledPurge : public QObject {
    Q_OBJECT

    std::unique_ptr<LedgerFixture> m_f;

private slots:
    void init() { m_f = std::make_unique<LedgerFixture>(); }
    void cleanup() { m_f.reset(); }

    void settledMovementsStaySettledAndOutstandingOnesKeepTheirPayments()
    {
        const qint64 settled = m_f->movement("100", "10");
        const qint64 first = m_f->payment(settled, kDay.addDays(-40), "50");
        const qint64 second = m_f->payment(settled, kDay.addDays(-1), "20", "20");
        const qint64 open = m_f->movement("300");
        const qint64 old = m_f->payment(open, kDay.addDays(-400), "100");
        QVERIFY(m_f->paid(settled));
        QVERIFY(!m_f->paid(open));

        const auto outcome = SettledPurge::Run(m_f->context(), kDay, never);
        QCOMPARE(outcome.deleted, 2);
        QVERIFY(!outcome.stopped);
        QVERIFY(!m_f->exists("Pagamenti", first));
        QVERIFY(!m_f->exists("Pagamenti", second));
        QVERIFY(m_f->exists("Pagamenti", old));
        QVERIFY(m_f->paid(settled));
        QCOMPARE(m_f->outstanding(settled), 0);
        QCOMPARE(m_f->outstanding(open), 2000000);

        QSqlQuery q = m_f->database().exec(
            "SELECT Comando, Operatore, OID_Eliminato, OID_Movimenti, Contanti, Assegno FROM Eliminazioni ORDER BY OID_Eliminato");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), DeletionLog::kPurgeCommand);
        QCOMPARE(q.value(1).toString(), QStringLiteral("Verdi"));
        QCOMPARE(q.value(2).toLongLong(), first);
        QCOMPARE(q.value(3).toLongLong(), settled);
        QCOMPARE(q.value(4).toLongLong(), 500000);
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toLongLong(), second);
        QCOMPARE(q.value(5).toLongLong(), 200000);
        QVERIFY(!q.next());
    }

    void theChosenDayIsIncluded_data()
    {
        QTest::addColumn<int>("daysAfter");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("the day before") << -1 << true;
        QTest::newRow("the day itself") << 0 << true;
        QTest::newRow("the day after") << 1 << false;
    }
    void theChosenDayIsIncluded()
    {
        QFETCH(int, daysAfter);
        QFETCH(bool, deleted);
        const qint64 payment = m_f->payment(m_f->movement("10"), kDay.addDays(daysAfter), "10");
        SettledPurge::Run(m_f->context(), kDay, never);
        QCOMPARE(!m_f->exists("Pagamenti", payment), deleted);
    }

    void aStopRollsEverythingBack()
    {
        const qint64 movement = m_f->movement("10");
        const qint64 payment = m_f->payment(movement, kDay, "10");
        int asked = 0;
        const auto outcome = SettledPurge::Run(m_f->context(), kDay, [&](int, int) {
            ++asked;
            return false;
        });
        QVERIFY(outcome.stopped);
        QCOMPARE(asked, 1);
        QVERIFY(m_f->exists("Pagamenti", payment));
        QCOMPARE(m_f->number("SELECT COUNT(*) FROM Eliminazioni"), 0);
    }

    void dialogRefusesAnInvalidDateAndANo_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("deleted");
        const QString question = QStringLiteral("Confermi l'eliminazione dei pagamenti fino alla data %1?");
        QTest::newRow("not a date") << "31/02/2005" << int(Answer::Yes)
                                    << QStringList{"La data impostata non è valida."} << false;
        QTest::newRow("answered No") << "31/03/2005" << int(Answer::No) << QStringList{question.arg("31/03/2005")}
                                     << false;
        QTest::newRow("answered Yes") << "31/03/2005" << int(Answer::Yes)
                                      << QStringList{question.arg("31/03/2005"), "I pagamenti sono stati eliminati."}
                                      << true;
    }
    void dialogRefusesAnInvalidDateAndANo()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(bool, deleted);
        const qint64 payment = m_f->payment(m_f->movement("10"), kDay, "10");
        TestSupport::ScriptedMessages script;
        script.push(Answer(answer));
        frmDeletePayment dialog(m_f->context());
        dialog.show();
        dialog.calTimeSetting->setSelectedDate(QDate(2005, 3, 31));
        QCOMPARE(dialog.txtData->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        dialog.txtData->setText(typed);
        dialog.cmdSetting->click();
        QCOMPARE(script.texts(), messages);
        QCOMPARE(!m_f->exists("Pagamenti", payment), deleted);
        QCOMPARE(dialog.isVisible(), !deleted);
        QCOMPARE(dialog.deletedUpTo(), deleted ? kDay : QDate());
    }
};

COBRELLE_TEST_MAIN(TestSettledPurge)
#include "tst_settledpurge.moc"
