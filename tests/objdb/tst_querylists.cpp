// Field lists, sort orders and the criterion literal helpers of the query language.

#include "querytestdb.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/query/parser.h"
#include "objdb/types.h"

#include <QApplication>
#include <QtTest>
#include <cmath>
#include <limits>

using namespace objdb;
using namespace objdb::query;

Q_DECLARE_METATYPE(SelectItem::Kind)

class TstQueryLists : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QueryTestDb> m_db;

    static std::optional<FieldInfo> resolve(const QString &name)
    {
        static const QHash<QString, FieldInfo> fields = {
            {"OID", {"\"p\".\"OID\"", TypeInteger, {}}},
            {"Contanti", {"\"p\".\"Contanti\"", TypeAmount, {}}},
            {"Assegno", {"\"p\".\"Assegno\"", TypeAmount, {}}},
            {"Anticipo", {"\"p\".\"Anticipo\"", TypeAmount, {}}},
            {"Bonifico_Bancomat", {"\"p\".\"Bonifico_Bancomat\"", TypeAmount, {}}},
            {"Quantita", {"\"p\".\"Quantita\"", TypeInteger, {}}},
            {"Peso", {"\"p\".\"Peso\"", TypeFloat, {}}},
            {"Descrizione", {"\"p\".\"Descrizione\"", TypeText, {}}},
            {"Movimenti.Descrizione", {"\"p\".\"Descrizione\"", TypeText, {}}},
            {"TipiOperazione.TipoSospeso", {"\"t\".\"TipoSospeso\"", TypeYesNo, {}}},
            {"Extra", {"(\"p\".\"Contanti\" + ?)", TypeAmount, {qlonglong(10000)}}},
        };
        const auto it = fields.constFind(name);
        if (it == fields.constEnd())
            return std::nullopt;
        return *it;
    }

    // The values of one calculated item over the test rows, in OID order.
    QVariantList evaluate(const QString &fieldList, int index, int *type = nullptr) const
    {
        const FieldList list = FieldList::parse(fieldList);
        QVariantList binds;
        const FieldInfo info = FieldList::renderExpression(list.items().at(index), &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        if (type)
            *type = info.type;
        QVariantList values = m_db->column(
            QStringLiteral("SELECT ") + info.sql + QStringLiteral(" FROM Pagamenti p ORDER BY p.OID"), binds);
        for (QVariant &v : values) {
            if (v.isNull()) // the driver's typed Null is still Null
                v = QVariant();
        }
        return values;
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<QueryTestDb>();
        m_db->exec(QStringLiteral("CREATE TABLE Pagamenti (OID INTEGER PRIMARY KEY, Contanti INTEGER, Assegno INTEGER, "
                                  "Anticipo INTEGER, Bonifico_Bancomat INTEGER, Quantita INTEGER, Peso REAL, "
                                  "Descrizione TEXT)"));
        // 10.00 + 2.50 + 0.05; 0.10 + 0.20 + 0 (exact); a Null operand.
        m_db->exec(QStringLiteral("INSERT INTO Pagamenti VALUES (1, 100000, 25000, 500, 70000, 3, 1.5, 'a')"));
        m_db->exec(QStringLiteral("INSERT INTO Pagamenti VALUES (2, 1000, 2000, 0, 0, 0, 0.25, 'b')"));
        m_db->exec(QStringLiteral("INSERT INTO Pagamenti VALUES (3, 1000, NULL, 0, NULL, NULL, NULL, NULL)"));
    }

    void cleanupTestCase() { m_db.reset(); }

    // --- field lists ----------------------------------------------------------------------------

    void balanceList()
    {
        const FieldList list = FieldList::parse(QStringLiteral(
            "*, TipiOperazione.TipoSospeso ,((Contanti + Assegno + Anticipo)) AS SaldoCassa, ((Bonifico_Bancomat)) AS SaldoBanca"));
        QCOMPARE(list.items().size(), 4);
        const auto &items = list.items();
        QCOMPARE(items[0].kind, SelectItem::Star);
        QCOMPARE(items[0].name, QString());
        QCOMPARE(items[1].kind, SelectItem::Name);
        QCOMPARE(items[1].name, QStringLiteral("TipiOperazione.TipoSospeso"));
        QCOMPARE(items[1].alias, QString());
        QCOMPARE(items[1].text, QStringLiteral("TipiOperazione.TipoSospeso"));
        QCOMPARE(items[2].kind, SelectItem::Expression);
        QCOMPARE(items[2].alias, QStringLiteral("SaldoCassa"));
        QCOMPARE(items[2].text, QStringLiteral("((Contanti + Assegno + Anticipo))"));
        QVERIFY(items[2].expression);
        QCOMPARE(items[3].kind, SelectItem::Expression);
        QCOMPARE(items[3].alias, QStringLiteral("SaldoBanca"));
        QCOMPARE(items[3].text, QStringLiteral("((Bonifico_Bancomat))"));

        int type = -1;
        // Amounts add exactly; Null propagates.
        QCOMPARE(evaluate(QStringLiteral("*, TipiOperazione.TipoSospeso ,((Contanti + Assegno + Anticipo)) AS "
                                         "SaldoCassa, ((Bonifico_Bancomat)) AS SaldoBanca"),
                          2, &type),
                 (QVariantList{qlonglong(125500), qlonglong(3000), QVariant()}));
        QCOMPARE(type, int(TypeAmount));
        QCOMPARE(evaluate(QStringLiteral("((Bonifico_Bancomat)) AS SaldoBanca"), 0, &type),
                 (QVariantList{qlonglong(70000), qlonglong(0), QVariant()}));
        QCOMPARE(type, int(TypeAmount));

        QVariantList binds;
        const FieldInfo info = FieldList::renderExpression(items[2], &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        QCOMPARE(info.sql, QStringLiteral("(\"p\".\"Contanti\" + \"p\".\"Assegno\" + \"p\".\"Anticipo\")"));
        QVERIFY(binds.isEmpty());
        const FieldInfo name = FieldList::renderExpression(items[1], &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        QCOMPARE(name.sql, QStringLiteral("\"t\".\"TipoSospeso\""));
        QCOMPARE(name.type, int(TypeYesNo));
    }

    void paymentsList()
    {
        const FieldList list = FieldList::parse(
            QStringLiteral("*, Movimenti.Descrizione AS DescrizionePagamento, Movimenti.Importo AS ImportoPagamento"));
        QCOMPARE(list.items().size(), 3);
        QCOMPARE(list.items()[1].kind, SelectItem::Name);
        QCOMPARE(list.items()[1].name, QStringLiteral("Movimenti.Descrizione"));
        QCOMPARE(list.items()[1].alias, QStringLiteral("DescrizionePagamento"));
        QCOMPARE(list.items()[1].text, QStringLiteral("Movimenti.Descrizione"));
        QCOMPARE(list.items()[2].name, QStringLiteral("Movimenti.Importo"));
        QCOMPARE(list.items()[2].alias, QStringLiteral("ImportoPagamento"));
    }

    void otherLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<SelectItem::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("alias");
        QTest::newRow("empty") << "" << 1 << 0 << SelectItem::Star << "" << "";
        QTest::newRow("blank") << "  " << 1 << 0 << SelectItem::Star << "" << "";
        QTest::newRow("star") << "*" << 1 << 0 << SelectItem::Star << "" << "";
        QTest::newRow("table star") << "*, Compagnie.*" << 2 << 1 << SelectItem::Star << "Compagnie" << "";
        QTest::newRow("plain names") << "Contanti, Assegno" << 2 << 1 << SelectItem::Name << "Assegno" << "";
        QTest::newRow("as in any case") << "Contanti as Cassa" << 1 << 0 << SelectItem::Name << "Contanti" << "Cassa";
        QTest::newRow("bracketed") << "[Contanti] AS [Saldo Cassa]" << 1 << 0 << SelectItem::Name << "Contanti"
                                   << "Saldo Cassa";
        QTest::newRow("no blanks") << "*,(Contanti+Assegno)AS X" << 2 << 1 << SelectItem::Expression << "" << "X";
        QTest::newRow("parenthesised name") << "(Contanti) AS X" << 1 << 0 << SelectItem::Expression << "" << "X";
    }

    void otherLists()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(SelectItem::Kind, kind);
        QFETCH(QString, name);
        QFETCH(QString, alias);
        const FieldList list = FieldList::parse(text);
        QCOMPARE(list.items().size(), count);
        QCOMPARE(list.items()[index].kind, kind);
        QCOMPARE(list.items()[index].name, name);
        QCOMPARE(list.items()[index].alias, alias);
    }

    void expressionTypes()
    {
        int type = -1;
        // A number in an amount expression binds as ten-thousandths.
        QVariantList binds;
        const FieldInfo plus = FieldList::renderExpression(FieldList::parse(QStringLiteral("(Contanti + 1.5) AS X")).items()[0],
                                                           &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        QCOMPARE(plus.type, int(TypeAmount));
        QCOMPARE(binds, QVariantList{qlonglong(15000)});
        QCOMPARE(evaluate(QStringLiteral("(Contanti + 1.5) AS X"), 0),
                 (QVariantList{qlonglong(115000), qlonglong(16000), qlonglong(16000)}));
        QCOMPARE(evaluate(QStringLiteral("(Contanti - Assegno - 0.01) AS X"), 0),
                 (QVariantList{qlonglong(74900), qlonglong(-1100), QVariant()}));
        QCOMPARE(evaluate(QStringLiteral("(-Contanti) AS X"), 0, &type),
                 (QVariantList{qlonglong(-100000), qlonglong(-1000), qlonglong(-1000)}));
        QCOMPARE(type, int(TypeAmount));
        // Whole numbers of an integer field become ten-thousandths next to an amount.
        QCOMPARE(evaluate(QStringLiteral("(Contanti + Quantita) AS X"), 0, &type),
                 (QVariantList{qlonglong(130000), qlonglong(1000), QVariant()}));
        QCOMPARE(type, int(TypeAmount));
        QCOMPARE(evaluate(QStringLiteral("(Quantita + 1) AS X"), 0, &type),
                 (QVariantList{qlonglong(4), qlonglong(1), QVariant()}));
        QCOMPARE(type, int(TypeInteger));
        QCOMPARE(evaluate(QStringLiteral("(Quantita + 0.5) AS X"), 0, &type).value(0).toDouble(), 3.5);
        QCOMPARE(type, int(TypeFloat));
        QCOMPARE(evaluate(QStringLiteral("(Peso - 1) AS X"), 0, &type).value(1).toDouble(), -0.75);
        QCOMPARE(type, int(TypeFloat));
        // An alias's own binds go with it.
        QCOMPARE(evaluate(QStringLiteral("(Extra + 1) AS X"), 0, &type),
                 (QVariantList{qlonglong(120000), qlonglong(21000), qlonglong(21000)}));
        // A single field keeps its type, whatever it is.
        QCOMPARE(evaluate(QStringLiteral("((Descrizione)) AS D"), 0, &type), (QVariantList{"a", "b", QVariant()}));
        QCOMPARE(type, int(TypeText));
    }

    void longSumsDoNotNest()
    {
        const auto sum = [](int count) {
            QStringList terms;
            for (int i = 0; i < count; ++i)
                terms.append(i % 2 ? QStringLiteral("Contanti") : QStringLiteral("1"));
            return QStringLiteral("(") + terms.join(QStringLiteral(" + ")) + QStringLiteral(") AS X");
        };
        const FieldList list = FieldList::parse(sum(kMaxTerms));
        QVariantList binds;
        const FieldInfo info = FieldList::renderExpression(list.items()[0], &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        QCOMPARE(binds.size(), kMaxTerms / 2);
        QCOMPARE(info.type, int(TypeAmount));
        // Beyond what SQLite can compile, a sum is refused rather than rendered.
        QVERIFY(errorOf([&] { FieldList::parse(sum(kMaxTerms + 1)); }).contains(QStringLiteral("troppi campi e termini di calcolo")));
        QVERIFY(errorOf([&] { FieldList::parse(sum(20000)); }).contains(QStringLiteral("troppi campi e termini di calcolo")));
        // Nested parentheses and minus signs are bounded instead.
        const QString deep = QString(3000, QLatin1Char('(')) + QStringLiteral("Contanti") + QString(3000, QLatin1Char(')'));
        QVERIFY(errorOf([&] { FieldList::parse(deep + QStringLiteral(" AS X")); }).contains(QStringLiteral("troppi livelli")));
        QVERIFY(errorOf([&] { FieldList::parse(QString(3000, QLatin1Char('-')) + QStringLiteral("Contanti AS X")); })
                    .contains(QStringLiteral("troppi livelli")));
    }

    void expressionErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown") << "(Contanti + Sconosciuto) AS X"
                                 << "Campo sconosciuto nell'elenco dei campi: Sconosciuto";
        QTest::newRow("unknown name item") << "Sconosciuto" << "Campo sconosciuto nell'elenco dei campi: Sconosciuto";
        QTest::newRow("text operand") << "(Contanti + Descrizione) AS X" << "Il campo Descrizione non è numerico";
        QTest::newRow("amount and float") << "(Contanti + Peso) AS X" << "importi e numeri con la virgola";
        QTest::newRow("five decimals") << "(Contanti + 0.00001) AS X" << "al massimo quattro decimali";
        QTest::newRow("star") << "*" << "non è un campo calcolato";
    }

    void expressionErrors()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QString error = errorOf([&] {
            QVariantList binds;
            FieldList::renderExpression(FieldList::parse(text).items()[0], &TstQueryLists::resolve, binds, TestSupport::archiveDialect());
        });
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void malformedLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("trailing comma") << "*, " << 4;
        QTest::newRow("leading comma") << ", Contanti" << 1;
        QTest::newRow("dangling +") << "(Contanti + ) AS X" << 13;
        QTest::newRow("no alias") << "*, (Contanti + Assegno)" << 24;
        QTest::newRow("AS without name") << "Contanti AS" << 12;
        QTest::newRow("star alias") << "* AS X" << 3;
        QTest::newRow("unclosed") << "((Contanti) AS X" << 13;
        QTest::newRow("multiplication") << "(Contanti * 2) AS X" << 11;
        QTest::newRow("text literal") << "'abc' AS X" << 1;
        QTest::newRow("missing comma") << "Contanti Assegno" << 10;
        QTest::newRow("semicolon") << "Contanti; DROP TABLE Pagamenti" << 9;
    }

    void malformedLists()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        const QString message = errorOf([&] { FieldList::parse(text); });
        QVERIFY2(message.startsWith(QStringLiteral("Elenco di campi non valido alla posizione %1: ").arg(position)),
                 qPrintable(message));
    }

    // --- sort orders ----------------------------------------------------------------------------

    void sortOrders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<bool>>("descending");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("one") << "Codice" << QStringList{"Codice"} << QList<bool>{false} << "Codice";
        QTest::newRow("desc") << "Data DESC" << QStringList{"Data"} << QList<bool>{true} << "Data DESC";
        QTest::newRow("asc") << "Nome ASC" << QStringList{"Nome"} << QList<bool>{false} << "Nome";
        QTest::newRow("two") << "Data DESC, Importo ASC" << QStringList{"Data", "Importo"} << QList<bool>{true, false}
                             << "Data DESC, Importo";
        QTest::newRow("any case, no blanks") << "data desc,importo asc" << QStringList{"data", "importo"}
                                             << QList<bool>{true, false} << "data DESC, importo";
        QTest::newRow("qualified") << "Movimenti.Data DESC, Collaboratori.Codice"
                                   << QStringList{"Movimenti.Data", "Collaboratori.Codice"} << QList<bool>{true, false}
                                   << "Movimenti.Data DESC, Collaboratori.Codice";
        QTest::newRow("bracketed") << "[Data Copertura] DESC" << QStringList{"Data Copertura"} << QList<bool>{true}
                                   << "[Data Copertura] DESC";
        QTest::newRow("empty") << "" << QStringList{} << QList<bool>{} << "";
        QTest::newRow("blank") << "  " << QStringList{} << QList<bool>{} << "";
    }

    void sortOrders()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QFETCH(QList<bool>, descending);
        QFETCH(QString, canonical);
        const SortOrder order = SortOrder::parse(text);
        QCOMPARE(order.keys().size(), fields.size());
        QCOMPARE(order.isEmpty(), fields.isEmpty());
        for (int i = 0; i < fields.size(); ++i) {
            QCOMPARE(order.keys()[i].field, fields[i]);
            QCOMPARE(order.keys()[i].descending, descending[i]);
        }
        QCOMPARE(order.toText(), canonical);
        QCOMPARE(SortOrder::parse(order.toText()).toText(), canonical);
    }

    void malformedSortOrders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("two directions") << "Data DESC DESC" << 11;
        QTest::newRow("comma only") << "," << 1;
        QTest::newRow("trailing comma") << "Data," << 6;
        QTest::newRow("missing comma") << "Data ASC Importo" << 10;
        QTest::newRow("parenthesis") << "Data (" << 6;
        QTest::newRow("unclosed bracket") << "[Data" << 1;
        QTest::newRow("quote") << "'Data'" << 1;
        QTest::newRow("direction only") << "DESC" << 1;
        QTest::newRow("semicolon") << "Data; DROP TABLE x" << 5;
    }

    void malformedSortOrders()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        const QString message = errorOf([&] { SortOrder::parse(text); });
        QVERIFY2(message.startsWith(QStringLiteral("Ordinamento non valido alla posizione %1: ").arg(position)),
                 qPrintable(message));
    }

    // --- literal helpers ------------------------------------------------------------------------

    void literals()
    {
        QCOMPARE(textLiteral(QStringLiteral("it's")), QStringLiteral("'it''s'"));
        QCOMPARE(textLiteral(QString()), QStringLiteral("''"));
        QCOMPARE(patternLiteral(QStringLiteral("abc*")), QStringLiteral("'abc*'"));
        QCOMPARE(patternLiteral(QStringLiteral("*l'a*")), QStringLiteral("'*l''a*'"));
        QCOMPARE(literal(QStringLiteral("Amministratore"), TypeText), QStringLiteral("'Amministratore'"));
        QCOMPARE(literal(QStringLiteral("O'Brien"), TypeText), QStringLiteral("'O''Brien'"));
        QCOMPARE(literal(QString(), TypeText), QStringLiteral("''"));
        QCOMPARE(literal(QDate(2005, 1, 2), TypeDate), QStringLiteral("#01/02/2005#"));
        QCOMPARE(literal(QDateTime(QDate(2004, 12, 31), QTime(23, 59)), TypeDate), QStringLiteral("#12/31/2004#"));
        QCOMPARE(literal(true, TypeYesNo), QStringLiteral("True"));
        QCOMPARE(literal(false, TypeYesNo), QStringLiteral("False"));
        QCOMPARE(literal(QVariant::fromValue(Amount::fromUnits(19362700)), TypeAmount), QStringLiteral("1936.27"));
        QCOMPARE(literal(QVariant::fromValue(Amount::fromUnits(1000000)), TypeAmount), QStringLiteral("100"));
        QCOMPARE(literal(QVariant::fromValue(Amount::fromUnits(-5000)), TypeAmount), QStringLiteral("-0.5"));
        QCOMPARE(literal(QVariant::fromValue(Amount::fromUnits(1)), TypeAmount), QStringLiteral("0.0001"));
        QCOMPARE(literal(QVariant::fromValue(Amount()), TypeAmount), QStringLiteral("0"));
        // Money never goes through a double: refused, not rounded.
        QVERIFY(errorOf([] { literal(1936.27, TypeAmount); }).contains(QStringLiteral("virgola mobile")));
        QCOMPARE(literal(qlonglong(7), TypeAmount), QStringLiteral("7"));
        QCOMPARE(literal(qlonglong(-42), TypeInteger), QStringLiteral("-42"));
        QCOMPARE(literal(0.1, TypeFloat), QStringLiteral("0.1"));
        QVERIFY(errorOf([] { literal(QVariant(), TypeText); }).contains(QStringLiteral("Is Null")));
        QVERIFY(errorOf([] { literal(QStringLiteral("abc"), TypeAmount); }) != QStringLiteral("<no error>"));
        QVERIFY(errorOf([] { literal(QStringLiteral("ieri"), TypeDate); }) != QStringLiteral("<no error>"));
    }

    void sqlNumbers()
    {
        QCOMPARE(sqlNumber(1936.27), QStringLiteral("1936.27"));
        QCOMPARE(sqlNumber(0.1), QStringLiteral("0.1"));
        QCOMPARE(sqlNumber(100), QStringLiteral("100"));
        QCOMPARE(sqlNumber(-2.5), QStringLiteral("-2.5"));
        QCOMPARE(sqlNumber(0), QStringLiteral("0"));
        QCOMPARE(sqlNumber(-0.0), QStringLiteral("0"));
        QCOMPARE(sqlNumber(1e20), QStringLiteral("100000000000000000000"));
        QCOMPARE(sqlNumber(1.5e-7), QStringLiteral("0.00000015"));
        QCOMPARE(sqlNumber(1.0 / 3), QStringLiteral("0.3333333333333333"));
        // Locale-free whatever the default locale (the tests run Italian).
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        QCOMPARE(sqlNumber(1234567.5), QStringLiteral("1234567.5"));
        QVERIFY(errorOf([] { sqlNumber(std::numeric_limits<double>::quiet_NaN()); }) != QStringLiteral("<no error>"));
        QVERIFY(errorOf([] { sqlNumber(std::numeric_limits<double>::infinity()); }) != QStringLiteral("<no error>"));
        // What sqlNumber writes reads back as the same double and parses as a criterion number.
        for (double v : {1936.27, 0.1, 1e-10, 123456789.125, 5e-324, 1.7976931348623157e308}) {
            const QString text = sqlNumber(v);
            QCOMPARE(text.toDouble(), v);
            QVERIFY(!Criterion::parse(QStringLiteral("Peso = ") + text).isEmpty());
        }
    }

    // --- SQL functions --------------------------------------------------------------------------

    void registerRefusesAClosedConnection()
    {
        QSqlDatabase closed = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("closed"));
        QVERIFY(errorOf([&] { registerSqlFunctions(closed); }).contains(QStringLiteral("non è aperta")));
        closed = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("closed"));
        QSqlDatabase invalid;
        QVERIFY(errorOf([&] { registerSqlFunctions(invalid); }).contains(QStringLiteral("non è aperta")));
    }

    void registerTwiceIsHarmless()
    {
        QSqlDatabase db = m_db->db();
        registerSqlFunctions(db);
        QCOMPARE(m_db->column(QStringLiteral("SELECT objdb_fold('ÀÈÌ')")).value(0).toString(), QStringLiteral("aei"));
    }
};

COBRELLE_TEST_MAIN(TstQueryLists)
#include "tst_querylists.moc"
