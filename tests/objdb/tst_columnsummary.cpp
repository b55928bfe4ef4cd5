// The sum of a column over the rows of a view, read by one aggregate query: exact to the
// ten-thousandth whatever the size, Null as soon as one row holds Null, limited by the filter and
// the opening condition, a clear refusal rather than a wrong total past 64 bits, and a mean
// rounded once from the exact quotient.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/backgroundread.h"
#include "objdb/currency.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QtTest>

using namespace objdb;

class TestColumnSummary : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> voci(const QString &filter = QString(), const OpenOptions &options = {})
    {
        return m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource(filter, QString(), options);
    }

    // Rows of the given stored amounts (ten-thousandths; an invalid variant stores Null).
    void insertUnits(const QVariantList &units)
    {
        TransactionGuard transaction(*m_db);
        for (int i = 0; i < units.size(); ++i)
            m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Importo) VALUES (?, ?)"),
                       {QStringLiteral("voce %1").arg(i), units.at(i)});
        transaction.commit();
    }

    static Amount amountOf(const QVariant &v) { return v.value<Amount>(); }

private slots:
    void init() { openNewArchive(GridTest::Columns::Plain); }
    void cleanup()
    {
        closeArchive();
        DataSource::setReadApart(DataSource::kReadApartFrom, DataSource::kReadApartPatienceMs);
    }

    void sumsExactlyAndFollowsTheRowsShown()
    {
        // 0,0001 ten thousand times is 1 exactly, which no sum of doubles gives.
        QVariantList units(10000, qint64(1));
        units.append(qint64(25'000)); // 2,5
        insertUnits(units);
        auto ds = voci();
        ColumnSummary s = ds->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(s.rows, 10001);
        QCOMPARE(amountOf(s.sum), Amount::fromUnits(35'000));

        ds->SetFilter(QStringLiteral("Importo > 1"));
        s = ds->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(s.rows, 1);
        QCOMPARE(amountOf(s.sum), Amount::fromUnits(25'000));

        // The opening condition limits as the filter does; no rows give 0 of the field's kind.
        s = voci(QStringLiteral("Importo > 100"))->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(s.rows, 0);
        QCOMPARE(amountOf(s.sum), Amount());
        QCOMPARE(amountOf(s.mean(2)), Amount());
    }

    void aNullInAnyRowMakesSumAndMeanNull()
    {
        insertUnits({qint64(10'000), QVariant(), qint64(20'000)});
        const ColumnSummary s = voci()->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(s.rows, 3); // the row holding Null is counted
        QVERIFY(isNull(s.sum));
        QVERIFY(isNull(s.mean(2)));
    }

    void meanRoundsOnceFromTheExactQuotient()
    {
        // 0,0149 over 3 rows is 0,004966...: once rounded to two decimals 0,00, where rounding to
        // four decimals first (0,0050) and then to two would give 0,01.
        insertUnits({qint64(149), qint64(0), qint64(0)});
        ColumnSummary s = voci()->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(amountOf(s.mean(2)), Amount());
        QCOMPARE(amountOf(s.mean(4)), Amount::fromUnits(50));

        // 2,0000 over 3 is 0,66666...: 0,6667 at four decimals, 1 at none.
        s.sum = QVariant::fromValue(Amount::fromUnits(20'000));
        s.rows = 3;
        QCOMPARE(amountOf(s.mean(4)), Amount::fromUnits(6667));
        QCOMPARE(amountOf(s.mean(0)), Amount::fromUnits(10'000));
    }

    void anOverflowMidwayStillGivesTheExactTotal()
    {
        // SQLite's own SUM stops at the second row; the total of the three fits.
        const qint64 big = std::numeric_limits<qint64>::max() - 10;
        insertUnits({big, big, -big});
        const ColumnSummary s = voci()->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(amountOf(s.sum), Amount::fromUnits(big));
    }

    void aTotalBeyondSixtyFourBitsIsRefusedInWords()
    {
        const qint64 big = std::numeric_limits<qint64>::max() - 10;
        insertUnits({big, big});
        QCOMPARE(TestSupport::refusal([&] { voci()->SummarizeColumn(QStringLiteral("Importo")); }),
                 QStringLiteral("Il totale di Importo è troppo grande per essere calcolato."));
        m_db->exec(QStringLiteral("DELETE FROM Voci"));
        insertUnits({-big, -big});
        QCOMPARE(TestSupport::refusal([&] { voci()->SummarizeColumn(QStringLiteral("Importo")); }),
                 QStringLiteral("Il totale di Importo è troppo grande per essere calcolato."));
    }

    void computedFieldsWithValuesAndOtherKinds()
    {
        insertUnits({qint64(10'000), qint64(30'000)});
        // A computed field with a bound value in the SELECT list, before the summed one.
        OpenOptions options;
        options.fieldList = QStringLiteral("*, (Importo + 1) AS Piu, (Importo + Importo - 0.5) AS Doppio");
        auto ds = voci(QString(), options);
        QCOMPARE(amountOf(ds->SummarizeColumn(QStringLiteral("Doppio")).sum), Amount::fromInteger(7));
        QCOMPARE(amountOf(ds->SummarizeColumn(QStringLiteral("Piu")).sum), Amount::fromInteger(6));

        // Whole numbers stay whole; their mean is exact as well.
        const ColumnSummary oids = ds->SummarizeColumn(QStringLiteral("OID"));
        QCOMPARE(oids.sum.toLongLong(), 3);
        QCOMPARE(amountOf(oids.mean(2)), Amount::fromUnits(15'000));

        QCOMPARE(TestSupport::refusal([&] { ds->SummarizeColumn(QStringLiteral("Nome")); }),
                 QStringLiteral("Il campo Nome non è numerico: non può essere totalizzato."));
        QCOMPARE(TestSupport::refusal([&] { ds->SummarizeColumn(QStringLiteral("Nessuno")); }),
                 QStringLiteral("Campo sconosciuto: Nessuno"));
    }

    void severalColumnsAtOnceAgreeWithEachAlone()
    {
        const qint64 big = std::numeric_limits<qint64>::max() - 10;
        insertUnits({qint64(10'000), qint64(30'000), QVariant()});
        OpenOptions options;
        options.fieldList = QStringLiteral("*, (Importo + 1) AS Piu, (Importo + Importo - 0.5) AS Doppio");
        auto ds = voci(QStringLiteral("OID < 3"), options);
        const QStringList fields{QStringLiteral("Piu"), QStringLiteral("Importo"), QStringLiteral("Doppio"),
                                 QStringLiteral("OID")};
        ColumnsSummary all = ds->SummarizeColumns(fields);
        QCOMPARE(all.rows, 2);
        QCOMPARE(all.columns.size(), 4);
        for (int i = 0; i < fields.size(); ++i) {
            const ColumnSummary alone = ds->SummarizeColumn(fields.at(i));
            QCOMPARE(all.columns.at(i).rows, alone.rows);
            QCOMPARE(all.columns.at(i).sum, alone.sum);
        }
        QCOMPARE(amountOf(all.columns.at(2).sum), Amount::fromInteger(7));
        QCOMPARE(all.columns.at(3).sum.toLongLong(), 3);

        // The Null row makes the amounts Null, not the whole numbers; no field gives the count alone.
        all = voci(QString(), options)->SummarizeColumns(fields);
        QCOMPARE(all.rows, 3);
        QVERIFY(isNull(all.columns.at(0).sum));
        QVERIFY(isNull(all.columns.at(2).sum));
        QCOMPARE(all.columns.at(3).sum.toLongLong(), 6);
        const ColumnsSummary count = voci()->SummarizeColumns({});
        QCOMPARE(count.rows, 3);
        QVERIFY(count.columns.isEmpty());

        // A sum that stops at 64 bits midway is taken again exactly.
        m_db->exec(QStringLiteral("DELETE FROM Voci"));
        insertUnits({big, big, -big});
        all = voci()->SummarizeColumns({QStringLiteral("OID"), QStringLiteral("Importo")});
        QCOMPARE(all.rows, 3);
        QCOMPARE(amountOf(all.columns.at(1).sum), Amount::fromUnits(big));
    }

    void aConvertingViewConvertsTheExactTotalOnce()
    {
        // A thousand rows of 1 lira: each is shown as 0,00 euro, their total is 0,52 euro.
        m_context->SetConversionCurrency(std::make_shared<CurrencyEuro>());
        insertUnits(QVariantList(1000, qint64(Amount::kScale)));
        OpenOptions options;
        options.convertCurrency = true;
        const ColumnSummary s = voci(QString(), options)->SummarizeColumn(QStringLiteral("Importo"));
        QCOMPARE(amountOf(s.sum), Amount::fromUnits(5200));
    }

    // Read apart, as on a big archive: the same figures, converted once; a read for rows read again
    // before it arrived is dropped and told so; a search apart makes its match the current row.
    void readApartGivesTheSameFiguresOrNone()
    {
        m_context->SetConversionCurrency(std::make_shared<CurrencyEuro>());
        insertUnits(QVariantList(1000, qint64(Amount::kScale)));
        OpenOptions options;
        options.convertCurrency = true;
        auto ds = voci(QString(), options);
        const ColumnSummary inPlace = ds->SummarizeColumn(QStringLiteral("Importo"));
        DataSource::setReadApart(0, 0);
        QObject owner;
        BackgroundRead reader(&owner);
        std::optional<ColumnSummary> got;
        int dropped = 0;
        const auto onFailed = [&](const Error &e) { dropped += e.code() == kErrStopped; };
        const auto summarize = [&] {
            ds->SummarizeColumnApart(reader, QStringLiteral("Importo"), [&](const ColumnSummary &s) { got = s; }, onFailed);
        };
        summarize();
        QVERIFY(!got);
        QTRY_VERIFY(got);
        QCOMPARE(got->rows, inPlace.rows);
        QCOMPARE(amountOf(got->sum), Amount::fromUnits(5200));

        got.reset();
        summarize();
        ds->Requery();
        QTRY_COMPARE(dropped, 1);
        QVERIFY(!got);

        std::optional<bool> found;
        ds->FindApart(reader, QStringLiteral("Nome = 'voce 7'"), 0, [&](bool f) { found = f; }, onFailed);
        QTRY_VERIFY(found);
        QVERIFY(*found);
        QCOMPARE(ds->GetField(QStringLiteral("Nome")).toString(), QStringLiteral("voce 7"));
    }
};

COBRELLE_TEST_MAIN(TestColumnSummary)
#include "tst_columnsummary.moc"
