// The conversion to Euro: every amount divided exactly and rounded once; empty stays empty; the
// movements' outstanding amounts agree exactly with their converted payments and purged payments;
// a stop changes nothing; a second run is warned about; the archive is marked converted only once committed.

#include "ledgerfixture.h"

#include "data/archivefacts.h"
#include "maintenance/archivecheck.h"
#include "maintenance/modEuroConversion.h"
#include "maintenance/settledpurge.h"
#include "services/configuration.h"
#include "services/frmMessage.h"

#include <QRandomGenerator>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

using MessageService::Answer;

namespace {

bool always(int, int)
{
    return true;
}

QString convertedSetting()
{
    return Settings::readText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConverted"));
}

} // namespace

class TestEuroConversion : public QObject {
    Q_OBJECT

    std::unique_ptr<LedgerFixture> m_f;

    // Sum of every amount of the archive, to tell whether anything changed.
    qint64 fingerprint()
    {
        return m_f->number("SELECT (SELECT coalesce(SUM(Importo + 3 * Sconto + 7 * ImportoInSospeso + 11 * ScontoPrivato), 0) "
                           "FROM Movimenti) + (SELECT coalesce(SUM(Contanti + 3 * Bonifico_Bancomat + 7 * Assegno + 11 * "
                           "Anticipo), 0) FROM Pagamenti) + (SELECT coalesce(SUM(Contanti), 0) FROM Eliminazioni)");
    }

private slots:
    void init()
    {
        m_f = std::make_unique<LedgerFixture>();
        QSettings().clear();
    }
    void cleanup() { m_f.reset(); }

    void eachAmountIsDividedExactly_data()
    {
        QTest::addColumn<QString>("lire");
        QTest::addColumn<qint64>("euroUnits");
        QTest::newRow("the rate itself") << "1936,27" << qint64(10000);
        QTest::newRow("its opposite") << "-1936,27" << qint64(-10000);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("a tenth, rounded up") << "0,1" << qint64(1);
        QTest::newRow("a negative tenth, away from zero") << "-0,1" << qint64(-1);
        QTest::newRow("a ten-thousandth, to nothing") << "0,0001" << qint64(0);
        QTest::newRow("a million lire") << "1000000" << qint64(5164569);
        QTest::newRow("the largest amount") << "99999999,9999" << qint64(516456899);
    }
    void eachAmountIsDividedExactly()
    {
        QFETCH(QString, lire);
        QFETCH(qint64, euroUnits);
        const qint64 movement = m_f->movement(lire);
        QVERIFY(!EuroConversion::Convert(m_f->context(), always).stopped);
        QCOMPARE(m_f->number("SELECT Importo FROM Movimenti WHERE OID = ?", {movement}), euroUnits);
        QCOMPARE(m_f->outstanding(movement), euroUnits);
    }

    void emptyStaysEmpty()
    {
        const qint64 movement = m_f->movement(QString());
        m_f->database().exec("UPDATE Movimenti SET ScontoPrivato = NULL");
        EuroConversion::Convert(m_f->context(), always);
        QVERIFY(m_f->value("SELECT Importo FROM Movimenti WHERE OID = ?", {movement}).isNull());
        QVERIFY(m_f->value("SELECT ScontoPrivato FROM Movimenti WHERE OID = ?", {movement}).isNull());
    }

    // Dividing each column on its own leaves outstanding amounts a few ten-thousandths away from the
    // converted amount less the converted payments; they are set from the converted parts instead.
    void outstandingAmountsAgreeExactlyAfterwards()
    {
        QRandomGenerator random(20260512);
        const QDate day(2001, 6, 1);
        for (int i = 0; i < 40; ++i) {
            const qint64 amount = 1000 + random.bounded(2000000);
            const qint64 movement = m_f->movement(QString::number(amount), QString::number(random.bounded(500)));
            const int payments = random.bounded(1, 4);
            for (int p = 0; p < payments; ++p)
                m_f->payment(movement, day.addDays(p), QString::number(random.bounded(amount / 3)),
                             QString::number(random.bounded(7)) + QStringLiteral(",") + QString::number(random.bounded(10)));
            // Some movements settled exactly by a last payment, so the purge has work.
            if (i % 3 == 0)
                m_f->payment(movement, day.addDays(5),
                             objdb::Amount::fromUnits(m_f->outstanding(movement)).toDisplayString(4).remove('.'));
        }
        SettledPurge::Run(m_f->context(), day.addDays(10), always);
        QVERIFY(m_f->number("SELECT COUNT(*) FROM Eliminazioni") > 10);
        QCOMPARE(ArchiveCheck::Run(m_f->context()).lines, QStringList{ArchiveCheck::kCleanLine});
        const qint64 loggedBefore = m_f->number("SELECT SUM(Contanti) FROM Eliminazioni");

        QVERIFY(!EuroConversion::Convert(m_f->context(), always).stopped);
        const auto report = ArchiveCheck::Run(m_f->context());
        QVERIFY2(report.clean, qPrintable(report.lines.mid(0, 5).join('\n')));
        // The log's amounts were converted with the rest.
        QVERIFY(qAbs(m_f->number("SELECT SUM(Contanti) FROM Eliminazioni") * 19362700 / 10000 - loggedBefore)
                < m_f->number("SELECT COUNT(*) FROM Eliminazioni") * 10000);
    }

    void aStopChangesNothing()
    {
        for (int i = 0; i < 5; ++i)
            m_f->payment(m_f->movement("3872,54"), QDate(2001, 1, 1), "1936,27");
        const qint64 before = fingerprint();
        int steps = 0;
        const auto outcome = EuroConversion::Convert(m_f->context(), [&](int done, int total) {
            ++steps;
            return done < total; // stopped at the very end, after every statement ran
        });
        QVERIFY(outcome.stopped);
        QVERIFY(steps > 1);
        QCOMPARE(fingerprint(), before);
        QVERIFY(!ArchiveFacts::Conversion(m_f->database()).converted);
    }

    // The operator stops the command from the progress window: told that nothing changed, and the
    // conversion is not recorded.
    void stoppedCommandSaysSo()
    {
        const qint64 movement = m_f->movement("1936,27");
        QStringList texts;
        MessageService::setScript([&](const MessageService::Request &r) {
            texts.append(r.text);
            if (r.text == QLatin1String("Confermi?")) {
                QTimer::singleShot(0, [] { frmMessage::instance()->cmdStop->click(); });
                return Answer::Yes;
            }
            return r.text == QLatin1String("Confermi l'interruzione ?") ? Answer::Yes : r.defaultAnswer;
        });
        ConvertArchiveToEuro(m_f->context());
        MessageService::clearScript();
        QVERIFY(texts.contains(QStringLiteral("Confermi l'interruzione ?")));
        QCOMPARE(texts.last(), QStringLiteral("Conversione interrotta: l'archivio non è stato modificato."));
        QCOMPARE(m_f->number("SELECT Importo FROM Movimenti WHERE OID = ?", {movement}), 19362700);
        QCOMPARE(convertedSetting(), QString());
    }

    // The mark of a conversion is the archive's: another desk's conversion is warned about as much as
    // one made here; an archive converted before it kept the mark (the desk's old setting) keeps it.
    void commandAsksAndRecordsTheConversion_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<bool>("converts");
        const QString again = QStringLiteral("CONVERSIONE GIA' EFFETTUATA!!!\n\nConfermi?");
        const QString byAnotherDesk = QStringLiteral("CONVERSIONE GIA' EFFETTUATA!!!\n\nL'archivio è stato convertito il "
                                                     "02/01/2026 alle 10:30 da Rossi.\n\nConfermi?");
        QTest::newRow("first run, Yes") << "" << int(Answer::Yes) << "Confermi?" << int(Answer::Yes) << true;
        QTest::newRow("first run, No") << "" << int(Answer::No) << "Confermi?" << int(Answer::Yes) << false;
        QTest::newRow("converted by another desk, No") << "archive" << int(Answer::No) << byAnotherDesk << int(Answer::No) << false;
        QTest::newRow("converted by another desk, Yes") << "archive" << int(Answer::Yes) << byAnotherDesk << int(Answer::No) << true;
        QTest::newRow("converted before the archive kept it, No") << "setting" << int(Answer::No) << again << int(Answer::No)
                                                                  << false;
    }
    void commandAsksAndRecordsTheConversion()
    {
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(int, defaultAnswer);
        QFETCH(bool, converts);
        if (before == QLatin1String("setting"))
            Settings::writeText("Configuration", "CurrencyConverted", "True");
        else if (before == QLatin1String("archive"))
            m_f->database().exec("UPDATE InfoArchivio SET Convertito = 1, ConvertitoIl = '2026-01-02T10:30:00', "
                                 "ConvertitoDa = 'Rossi'");
        const QString identity = ArchiveFacts::Identity(m_f->database());
        const qint64 movement = m_f->movement("1936,27");
        TestSupport::ScriptedMessages script;
        script.push(Answer(answer));
        QCOMPARE(ConvertArchiveToEuro(m_f->context()), converts);
        QCOMPARE(script.seen().first().text, question);
        QCOMPARE(script.seen().first().title, QStringLiteral("Conversione Valuta"));
        QCOMPARE(int(script.seen().first().defaultAnswer), defaultAnswer);
        QCOMPARE(m_f->number("SELECT Importo FROM Movimenti WHERE OID = ?", {movement}), converts ? 10000 : 19362700);
        QCOMPARE(script.texts().last(), converts ? QStringLiteral("Conversione terminata.") : question);
        const ArchiveFacts::ConversionMark mark = ArchiveFacts::Conversion(m_f->database());
        QCOMPARE(mark.converted, converts || !before.isEmpty());
        if (converts) {
            QVERIFY(mark.when.secsTo(QDateTime::currentDateTime()) < 60);
            QCOMPARE(mark.who, QStringLiteral("Verdi"));
        }
        // The archive's identity stays; the desk's setting is no more.
        QCOMPARE(ArchiveFacts::Identity(m_f->database()), identity);
        QCOMPARE(convertedSetting(), QString());
        // A converted archive is shown in lire on request, one in lire in Euro.
        QCOMPARE(ArchiveFacts::ConversionCurrency(m_f->database())->Name(0),
                 mark.converted ? QStringLiteral("Lire") : QStringLiteral("Euro"));
    }
};

COBRELLE_TEST_MAIN(TestEuroConversion)
#include "tst_euroconversion.moc"
