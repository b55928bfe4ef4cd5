// Totals and means of a column as the boxes show them: the column's display format with the
// locale's separators ("#.000" without a digit before the separator below 1), a Null row making
// both Null, the filter in force limiting the rows, and a total past the limits told in words.

#include "testsupport.h"

#include "grid/columntotals.h"
#include "grid/numberformat.h"

#include "objdb/amount.h"
#include "objdb/database.h"

#include <QApplication>
#include <QLocale>
#include <QtTest>

using objdb::Amount;

class TestColumnTotals : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;

    std::shared_ptr<objdb::DataSource> movements()
    {
        return m_archive.context->Tables().Item(QStringLiteral("Movimenti")).OpenDataSource();
    }

    void addMovement(const char *description, qint64 units)
    {
        QVERIFY(movements()->AddRow({QStringLiteral("Descrizione"), QString::fromLatin1(description), QStringLiteral("Importo"),
                                     QVariant::fromValue(Amount::fromUnits(units))}));
    }

    QString total(objdb::DataSource &ds, const QString &field)
    {
        return TotalMessage(field, ds.SummarizeColumn(field).sum, TotalFormatOf(*ds.Field(field)));
    }

    QString average(objdb::DataSource &ds, const QString &field)
    {
        return AverageMessage(field, ds.SummarizeColumn(field), TotalFormatOf(*ds.Field(field)));
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSupport::openArchive(m_dir->databasePath());
    }

    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    void formatsAsTheColumnShows()
    {
        const auto amount = [](qint64 units) { return QVariant::fromValue(Amount::fromUnits(units)); };
        QCOMPARE(FormatNumber(amount(12'345'678'900), "#,##0.00"), QStringLiteral("1.234.567,89"));
        QCOMPARE(FormatNumber(amount(-5'000), "#,##0.00"), QStringLiteral("-0,50"));
        QCOMPARE(FormatNumber(amount(-49), "#,##0.00"), QStringLiteral("0,00")); // no "-0,00"
        QCOMPARE(FormatNumber(amount(19'365'000), "#,##0"), QStringLiteral("1.937"));
        // Below 1 no digit before the separator, exactly three decimals.
        QCOMPARE(FormatNumber(0.5, "#.000"), QStringLiteral(",500"));
        QCOMPARE(FormatNumber(1234.0625, "#.000"), QStringLiteral("1234,063"));
        QCOMPARE(FormatNumber(amount(7'500), "#.000"), QStringLiteral(",750"));
        // The general format: whole numbers as they are, decimals without trailing zeros.
        QCOMPARE(FormatNumber(qint64(1234567), QString()), QStringLiteral("1234567"));
        QCOMPARE(FormatNumber(amount(15'000), QString()), QStringLiteral("1,5"));
        QCOMPARE(FormatNumber(QVariant(), "#,##0.00"), QString());

        // The user's locale gives the separators.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(FormatNumber(0.25, "#.000"), QStringLiteral(".250"));
        QCOMPARE(FormatNumber(amount(12'345'000), "#,##0.00"), QStringLiteral("1,234.50"));
    }

    void totalAndMeanOfTheRowsInView()
    {
        auto ds = movements();
        QCOMPARE(total(*ds, "Importo"), QStringLiteral("Totale Importo: 0,00"));
        QCOMPARE(average(*ds, "Importo"), QStringLiteral("Media Importo: 0,00"));

        addMovement("Alfa", 1'000'000); // 100,00
        addMovement("Beta", 5'000);     // 0,50
        addMovement("Gamma", 1);        // 0,0001
        ds = movements();
        QCOMPARE(total(*ds, "Importo"), QStringLiteral("Totale Importo: 100,50"));
        // 100,5001 / 3 = 33,500033...: rounded once to the column's two decimals.
        QCOMPARE(average(*ds, "Importo"), QStringLiteral("Media Importo: 33,50"));

        ds->SetFilter(QStringLiteral("Descrizione Like 'B*' Or Descrizione Like 'G*'"));
        QCOMPARE(total(*ds, "Importo"), QStringLiteral("Totale Importo: 0,50"));
        // 0,5001 / 2 = 0,25005, two decimals of the exact quotient.
        QCOMPARE(average(*ds, "Importo"), QStringLiteral("Media Importo: 0,25"));
    }

    void aNullRowEndsTheMessageAfterTheColon()
    {
        addMovement("Alfa", 1'000'000);
        m_archive.database->exec(QStringLiteral("INSERT INTO Movimenti (Descrizione, Importo) VALUES ('Nulla', NULL)"));
        auto ds = movements();
        QCOMPARE(total(*ds, "Importo"), QStringLiteral("Totale Importo: "));
        QCOMPARE(average(*ds, "Importo"), QStringLiteral("Media Importo: "));
    }

    void aTotalPastTheLimitsIsToldInWords()
    {
        TestSupport::ScriptedMessages messages;
        const qint64 big = std::numeric_limits<qint64>::max() / 2 + 1;
        for (int i = 0; i < 2; ++i)
            m_archive.database->exec(QStringLiteral("INSERT INTO Movimenti (Descrizione, Importo) VALUES ('x', ?)"), {big});
        auto ds = movements();
        ShowTotalBox([&] { return total(*ds, "Importo"); }, nullptr);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Il totale di Importo è troppo grande per essere calcolato.")});
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Exclamation);

        messages.clear();
        ShowTotalBox([] { return QStringLiteral("Totale Importo: 1,00"); }, nullptr);
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::None);
        QCOMPARE(messages.seen().first().title, MessageService::commonTitle());
    }
};

COBRELLE_TEST_MAIN(TestColumnTotals)
#include "tst_columntotals.moc"
