// Money: amounts that never wrap, the archive's bound, amounts typed the Italian way, amounts
// shown in the conversion currency rounded once.

#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/currency.h"
#include "objdb/error.h"
#include "objdb/grid/cellformat.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/query/criterion.h"
#include "objdb/types.h"

#include <QApplication>
#include <QSqlQuery>
#include <QtTest>
#include <limits>

using namespace objdb;

namespace {

constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();

const Amount kMax = Amount::fromUnits(Amount::kMaxUnits);

Amount units(std::int64_t n)
{
    return Amount::fromUnits(n);
}

// The message of the objdb::Error that `action` throws; "" when it throws nothing.
template <class F>
QString refusal(F action)
{
    try {
        action();
    } catch (const Error &e) {
        return e.description();
    }
    return QString();
}

class Conti : public itfDefTable, public itfSetData {
public:
    QString TableName() const override { return QStringLiteral("Conti"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Nome"), TypeText, 10);
        c.AddColumn(QStringLiteral("Saldo"), TypeAmount, 0);
        c.AddColumn(QStringLiteral("Riserva"), TypeAmount, 0);
    }
    void DefineDefaultData(itfSetData *&sink) override { sink = this; }
    // Riserva follows Saldo twice over: a sum that can pass the bound while Saldo does not.
    void OnUpdateField(DataSource &ds, const QString &column) override
    {
        if (column == QLatin1String("Saldo"))
            ds.SetField(QStringLiteral("Riserva"), addAmounts(ds.GetField(column), ds.GetField(column)));
    }
};

class Definition : public itfDefDatabase {
public:
    void Define(DatabaseDefinition &d) override { d.AddTable(std::make_shared<Conti>()); }
};

} // namespace

class TestAmount : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::RecordingSink m_sink;
    std::shared_ptr<Database> m_db;
    std::shared_ptr<DataContext> m_context;

    std::shared_ptr<DataSource> open(const OpenOptions &options = {})
    {
        return m_context->Tables().Item(QStringLiteral("Conti")).OpenDataSource(QString(), QString(), options);
    }

    QStringList balances()
    {
        QStringList shown;
        auto ds = open();
        for (bool ok = ds->MoveFirst(); ok; ok = ds->MoveNext())
            shown.append(ds->GetField(QStringLiteral("Saldo")).value<Amount>().toString());
        return shown;
    }

private slots:
    void initTestCase() { qRegisterMetaType<Amount>(); }

    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_sink = {};
        m_context = Application::Initialise(std::make_shared<Definition>(), QStringLiteral("test"), &m_sink,
                                            std::make_shared<CurrencyLire>());
        m_db = Database::create();
        m_db->Create(kDatabaseFormat, m_dir->databasePath());
        m_db->Open(kDatabaseFormat, m_dir->databasePath());
        m_context->Attach(m_db);
    }

    void cleanup()
    {
        m_context.reset();
        m_db.reset();
        m_dir.reset();
    }

    // Every operation on amounts is checked: nothing wraps, a failure leaves the operand as it was.
    void arithmeticNeverWraps()
    {
        const QString limits = Amount::outOfRangeMessage();
        QVERIFY(limits.startsWith(QStringLiteral("Importo fuori dai limiti consentiti")));
        QCOMPARE(refusal([] { Amount::fromInteger(kHighest / 1000); }), limits);
        QCOMPARE(refusal([] { return units(kHighest) + units(1); }), limits);
        QCOMPARE(refusal([] { return units(kLowest) - units(1); }), limits);
        QCOMPARE(refusal([] { return units(kLowest).abs(); }), limits);
        QCOMPARE(refusal([] { return -units(kLowest); }), limits);
        Amount total = units(kHighest - 5);
        QCOMPARE(refusal([&] { total += units(10); }), limits);
        QCOMPARE(total, units(kHighest - 5));
        QCOMPARE(refusal([&] { total -= units(-10); }), limits);
        QCOMPARE(total, units(kHighest - 5));
        QCOMPARE(refusal([] { return units(1).dividedBy(Amount()); }),
                 QStringLiteral("Calcolo di importi non valido: divisione per zero."));
        QCOMPARE(refusal([] { return units(kHighest).dividedBy(units(1)); }), limits);
        QCOMPARE(refusal([] { return units(kHighest).multipliedBy(Currency::lireRate()); }), limits);
        // Within 64 bits a total may pass the bound of one amount: nine million amounts at the bound.
        QCOMPARE(units(kHighest - 1) + units(1), units(kHighest));
        QCOMPARE(units(kLowest + 1).abs(), units(kHighest));
        QVERIFY(units(Amount::kMaxUnits * 9'000'000).units() > 0);
        QCOMPARE(units(-7).dividedBy(units(20000)), units(-4)); // -0.00035 → -0.0004
    }

    // Only amounts, integers and amount text are amounts: a double, other text or a value too
    // large is refused with a message, never read as Null or rounded.
    void valuesThatAreNotAmountsAreRefused()
    {
        QCOMPARE(refusal([] { toAmount(0.1); }),
                 QStringLiteral("Valore non valido: un importo non può essere dato come numero in virgola mobile (0.1)."));
        QCOMPARE(refusal([] { toStorage(QVariant(2.5), TypeAmount, QStringLiteral("Saldo")); }),
                 QStringLiteral("Valore non valido per il campo Saldo: un importo non può essere dato come numero in "
                                "virgola mobile (2.5)."));
        QVERIFY(refusal([] { query::literal(QVariant(12.34), TypeAmount); }).contains(QStringLiteral("virgola mobile")));
        QCOMPARE(refusal([] { addAmounts(QStringLiteral("dieci"), QVariant::fromValue(units(1))); }),
                 QStringLiteral("Valore non valido: «dieci» non è un importo."));
        QCOMPARE(refusal([] { toAmount(QVariant(true)); }), QStringLiteral("Valore non valido: atteso un importo."));
        QCOMPARE(refusal([] { toAmount(QVariant(quint64(kHighest) + 1)); }), Amount::outOfRangeMessage());
        QCOMPARE(refusal([] { toAmount(QVariant(qlonglong(kHighest))); }), Amount::outOfRangeMessage());
        QVERIFY(!toAmount(QVariant(QStringLiteral("  "))));
        QVERIFY(!toAmount(QVariant()));
        QCOMPARE(*toAmount(QVariant(QStringLiteral("1.234,5"))), units(12345000));
        QCOMPARE(*toAmount(QVariant(42)), units(420000));
    }

    void italianText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qlonglong>("units"); // -1: refused
        QTest::addColumn<int>("error");
        const int none = int(Amount::TextError::None), malformed = int(Amount::TextError::Malformed),
                  decimals = int(Amount::TextError::TooManyDecimals), range = int(Amount::TextError::OutOfRange);
        QTest::newRow("thousands") << "1.234" << 12340000LL << none;
        QTest::newRow("millions") << "1.234.567" << 12345670000LL << none;
        QTest::newRow("grouped with decimals") << "1.234,56" << 12345600LL << none;
        QTest::newRow("comma decimals") << "10,5" << 105000LL << none;
        QTest::newRow("negative grouped") << "-12.345" << -123450000LL << none;
        QTest::newRow("dot, one decimal") << "50.5" << 505000LL << none;
        QTest::newRow("dot, small") << "1.5" << 15000LL << none;
        QTest::newRow("dot after four digits") << "1234.567" << 12345670LL << none;
        QTest::newRow("dot after a zero") << "0.500" << 5000LL << none;
        QTest::newRow("dot, four decimals") << "12.3456" << 123456LL << none;
        QTest::newRow("leading comma") << ",25" << 2500LL << none;
        QTest::newRow("spaces") << " 1 234,5 " << 12345000LL << none;
        QTest::newRow("largest") << "99.999.999,9999" << qlonglong(Amount::kMaxUnits) << none;
        QTest::newRow("lowest") << "-99999999,9999" << -qlonglong(Amount::kMaxUnits) << none;
        QTest::newRow("English form") << "1,234.56" << -1LL << malformed;
        QTest::newRow("two commas") << "1,2,3" << -1LL << malformed;
        QTest::newRow("bad grouping") << "1.23.456" << -1LL << malformed;
        QTest::newRow("grouping after comma") << "12,345.678" << -1LL << malformed;
        QTest::newRow("letters") << "12a" << -1LL << malformed;
        QTest::newRow("sign only") << "-" << -1LL << malformed;
        QTest::newRow("five decimals") << "1,23456" << -1LL << decimals;
        QTest::newRow("a hundred million") << "100.000.000" << -1LL << range;
        QTest::newRow("fourteen nines") << "99.999.999.999.999,9999" << -1LL << range;
        QTest::newRow("forty digits") << QString(40, QLatin1Char('9')) << -1LL << range;
    }

    void italianText()
    {
        QFETCH(QString, text);
        QFETCH(qlonglong, units);
        QFETCH(int, error);
        Amount::TextError why = Amount::TextError::Malformed;
        const auto amount = Amount::parse(text, &why);
        QCOMPARE(int(why), error);
        QCOMPARE(amount ? amount->units() : -1LL, units);
    }

    // Criteria and SQL write numbers with a decimal point and no grouping.
    void decimalText()
    {
        QCOMPARE(Amount::parseDecimal(QStringLiteral("1.234"))->units(), 12340);
        QCOMPARE(Amount::parseDecimal(QStringLiteral("-1936.27"))->units(), -19362700);
        QCOMPARE(Amount::parseDecimal(QStringLiteral(".0001"))->units(), 1);
        QVERIFY(!Amount::parseDecimal(QStringLiteral("1.234,5")));
        QVERIFY(!Amount::parseDecimal(QStringLiteral("1.234.567")));
        Amount::TextError why = Amount::TextError::None;
        QVERIFY(!Amount::parseDecimal(QStringLiteral("123456789012345678901"), &why));
        QCOMPARE(why, Amount::TextError::OutOfRange);
        // A criterion's literal comes back as the amount it was written from.
        const Amount small = units(12340); // 1,234
        QCOMPARE(query::Criterion::parse(QStringLiteral("Saldo = ") + query::literal(QVariant::fromValue(small), TypeAmount))
                     .render([](const QString &) { return query::FieldInfo{QStringLiteral("Saldo"), TypeAmount, {}}; },
                             TestSupport::archiveDialect())
                     .binds,
                 QVariantList{qlonglong(12340)});
    }

    // What the panel tells of a refused amount: the limits, and never a long text in full.
    void typedAmountsAreToldBriefly()
    {
        QCOMPARE(FieldText::parseAmount(QStringLiteral("1.234")).value.value<Amount>(), units(12340000));
        QCOMPARE(FieldText::parseAmount(QStringLiteral("99.999.999.999.999,9999")).error, Amount::outOfRangeMessage());
        QCOMPARE(Amount::outOfRangeMessage(),
                 QStringLiteral("Importo fuori dai limiti consentiti: sono ammessi importi da -99.999.999,9999 a 99.999.999,9999."));
        const QString told = FieldText::parseAmount(QStringLiteral("abc") + QString(5000, QLatin1Char('x'))).error;
        QVERIFY2(told.size() < 60, qPrintable(told));
        QVERIFY(told.startsWith(QStringLiteral("Importo non valido: «abcxxx")));
        QCOMPARE(FieldText::parseAmount(QStringLiteral("1,23456")).error,
                 QStringLiteral("Importo non valido: «1,23456». Un importo ha al massimo quattro decimali."));
    }

    // The conversion currency is reached from the exact value in one rounding.
    void conversionRoundsOnce_data()
    {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<qlonglong>("stored");
        QTest::addColumn<qlonglong>("shown");
        QTest::newRow("29 lire") << "Euro" << 290000LL << 100LL;             // 0,01498 €
        QTest::newRow("242 lire") << "Euro" << 2420000LL << 1200LL;          // 0,12498 €
        QTest::newRow("-242 lire") << "Euro" << -2420000LL << -1200LL;
        QTest::newRow("1936,27 lire") << "Euro" << 19362700LL << 10000LL;
        QTest::newRow("0,5539 euro") << "Lire" << 5539LL << 10720000LL;     // 1.072,49995 lire
        QTest::newRow("-0,5539 euro") << "Lire" << -5539LL << -10720000LL;
        QTest::newRow("largest amount") << "Lire" << qlonglong(Amount::kMaxUnits) << 1936270000000000LL;
    }

    void conversionRoundsOnce()
    {
        QFETCH(QString, currency);
        QFETCH(qlonglong, stored);
        QFETCH(qlonglong, shown);
        const auto converter = currency == QLatin1String("Euro") ? std::shared_ptr<Currency>(new CurrencyEuro)
                                                                 : std::shared_ptr<Currency>(new CurrencyLire);
        QCOMPARE(converter->convert(units(stored)).units(), shown);
    }

    // A view in lire shows whole lire; its amount fields say so in their format.
    void viewInLireShowsWholeLire()
    {
        QVERIFY(open()->AddRow({"Nome", "a", "Saldo", QVariant::fromValue(units(5539))}));
        OpenOptions converted;
        converted.convertCurrency = true;
        auto lire = open(converted);
        QVERIFY(lire->MoveFirst());
        QCOMPARE(lire->GetField(QStringLiteral("Saldo")).value<Amount>(), units(10720000));
        QCOMPARE(lire->amountDecimals(), 0);
        QCOMPARE(lire->Field(QStringLiteral("Saldo"))->format, QStringLiteral("#,##0"));
        QCOMPARE(CellFormat::amountText(units(10720000), lire->amountDecimals()), QStringLiteral("1.072"));
        QCOMPARE(CellFormat::amountText(units(-12345678904999), 0), QStringLiteral("-1.234.567.890"));
        QCOMPARE(CellFormat::amountText(units(-4999), 0), QStringLiteral("0"));
        QCOMPARE(CellFormat::amountText(units(kLowest), 2), QStringLiteral("-922.337.203.685.477,58"));
        auto plain = open();
        QCOMPARE(plain->amountDecimals(), 2);
        QCOMPARE(plain->Field(QStringLiteral("Saldo"))->format, QStringLiteral("#,##0.00"));
    }

    // The archive takes no amount beyond its bound, and a rule whose sum passes it is refused
    // through the usual refusal path, leaving the row as it was.
    void storedAmountsStayWithinTheBound()
    {
        auto ds = open();
        QCOMPARE(refusal([&] { ds->AddRow({"Nome", "oltre", "Saldo", QVariant::fromValue(units(Amount::kMaxUnits + 1))}); }),
                 Amount::outOfRangeMessage(QStringLiteral("Saldo")));
        QVERIFY(open()->IsEmpty());
        QVERIFY(ds->AddRow({"Nome", "metà", "Saldo", QVariant::fromValue(units(Amount::kMaxUnits / 2))}));
        QCOMPARE(ds->GetField(QStringLiteral("Riserva")).value<Amount>(), units(Amount::kMaxUnits / 2 * 2));
        QVERIFY(!ds->SetField(QStringLiteral("Saldo"), QVariant::fromValue(kMax)));
        QCOMPARE(m_sink.messages, QStringList{Amount::outOfRangeMessage(QStringLiteral("Riserva"))});
        QCOMPARE(ds->GetField(QStringLiteral("Saldo")).value<Amount>(), units(Amount::kMaxUnits / 2));
        QCOMPARE(ds->GetField(QStringLiteral("Riserva")).value<Amount>(), units(Amount::kMaxUnits / 2 * 2));
        // The engine's 64-bit sum holds the three cash columns of three million rows at the bound.
        QSqlQuery sum = m_db->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000000) "
            "SELECT %1 FROM n").arg(m_db->dialect().integerSum(QStringLiteral("3 * CAST(? AS BIGINT)"))),
            {qlonglong(Amount::kMaxUnits)});
        QVERIFY(sum.next());
        QCOMPARE(sum.value(0).toLongLong(), 9'000'000 * Amount::kMaxUnits);
    }
};

COBRELLE_TEST_MAIN(TestAmount)
#include "tst_amount.moc"
