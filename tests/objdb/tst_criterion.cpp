// The criterion language against a real SQLite file: parsing, rendering with bound values,
// exact and folded matching, hostile text, malformed criteria and the Month/Year date range.

#include "querytestdb.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/query/parser.h"
#include "objdb/query/renderer.h"
#include "objdb/types.h"

#include <QApplication>
#include <QtTest>

using namespace objdb;
using namespace objdb::query;

namespace {

struct Row {
    qint64 oid;
    QString codice;
    QVariant nome, descrizione, data, importo, sconto, pagato, collaboratore;
};

const QVariant N; // Null

QVariant amount(const char *text)
{
    return qlonglong(Amount::parse(QString::fromLatin1(text))->units());
}

const QList<Row> &rows()
{
    static const QList<Row> list = {
        {1, "07", "Amministratore", "Caffè al bar", "2004-12-31", amount("100"), 0, 1, 1},
        {2, "08", "O'Brien", "CAFFÈ corretto", "2005-01-01", amount("0.1"), 0, 0, 2},
        {3, "09", "È tutto", "abc def", "2005-01-15", amount("150"), amount("0.01"), 1, 2},
        {4, "10", "'; DROP TABLE Movimenti; --", "abcx", "2005-01-31", amount("200"), N, 1, 1},
        {5, "11", "100%", "ABC", "2005-02-01", amount("0"), 0, 1, 2},
        {6, "12", "a_b", "xabc", "2005-03-10", N, 0, 0, N},
        {7, "13", "axb", "50% sconto", "2005-03-31", amount("50"), 0, 1, 2},
        {8, "14", "back\\slash", "a\\b", "2005-04-01", amount("-25"), 0, 1, 2},
        {9, "15", "semi;colon", "--commento", "2006-03-15", amount("1"), 0, 0, 2},
        {10, "16", "è minuscolo", N, N, N, N, N, N},
        {11, "17", "amministratore", "tutto_bene", "2005-01-20", amount("10"), 0, 1, 2},
        {12, "18", "1000", "caffe", "2005-03-01", amount("1936.27"), 0, 1, 2},
        {13, "19", "quote''doppie", "Pèsca", "2005-02-28", amount("0.0001"), 0, 0, 1},
    };
    return list;
}

QList<qint64> oids(std::initializer_list<qint64> list)
{
    return QList<qint64>(list);
}

} // namespace

class TstCriterion : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QueryTestDb> m_db;
    Resolver m_resolver;

    static std::optional<FieldInfo> resolve(const QString &name)
    {
        static const QHash<QString, FieldInfo> fields = {
            {"OID", {"\"m\".\"OID\"", TypeInteger, {}}},
            {"Codice", {"\"m\".\"Codice\"", TypeText, {}}},
            {"Nome", {"\"m\".\"Nome\"", TypeText, {}}},
            {"Descrizione", {"\"m\".\"Descrizione\"", TypeText, {}}},
            {"Data", {"\"m\".\"Data\"", TypeDate, {}}},
            {"Importo", {"\"m\".\"Importo\"", TypeAmount, {}}},
            {"Sconto", {"\"m\".\"Sconto\"", TypeAmount, {}}},
            {"Pagato", {"\"m\".\"Pagato\"", TypeYesNo, {}}},
            {"Collaboratori.Codice", {"\"c\".\"Codice\"", TypeText, {}}},
            {"Collaboratore", {"\"c\".\"Nome\"", TypeReference, {}}},
            // an alias whose expression carries a bound value (50.00)
            {"Maggiorato", {"(\"m\".\"Importo\" + ?)", TypeAmount, {qlonglong(500000)}}},
            {"Netto", {"(\"m\".\"Importo\" - \"m\".\"Sconto\")", TypeAmount, {}}},
        };
        // Like the data sources, names ignore case.
        if (name.compare(QLatin1String("Ambiguo"), Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("Nome di campo ambiguo: Ambiguo"));
        QString key = name;
        if (key.startsWith(QLatin1String("Movimenti."), Qt::CaseInsensitive))
            key = key.mid(10);
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                return *it;
        }
        return std::nullopt;
    }

    Sql render(const QString &criterion) const { return Criterion::parse(criterion).render(m_resolver, TestSupport::archiveDialect()); }

    QList<qint64> select(const QString &criterion) const
    {
        Sql sql;
        try {
            sql = render(criterion);
        } catch (const Error &e) {
            qWarning("%s", qPrintable(e.description()));
            return {-1};
        }
        QString text = QStringLiteral("SELECT m.OID FROM Movimenti m LEFT JOIN Collaboratori c "
                                      "ON c.OID = m.OID_Collaboratori");
        if (!sql.text.isEmpty())
            text += QStringLiteral(" WHERE (") + sql.text + QLatin1Char(')');
        text += QStringLiteral(" ORDER BY m.OID");
        QList<qint64> result;
        for (const QVariant &v : m_db->column(text, sql.binds))
            result.append(v.toLongLong());
        return result;
    }

    QList<qint64> selectSql(const QString &where, const QVariantList &binds = {}) const
    {
        QList<qint64> result;
        for (const QVariant &v : m_db->column(QStringLiteral("SELECT m.OID FROM Movimenti m WHERE ") + where
                                                  + QStringLiteral(" ORDER BY m.OID"),
                                              binds))
            result.append(v.toLongLong());
        return result;
    }

    QString queryPlan(const QString &criterion) const
    {
        const Sql sql = render(criterion);
        const QVariantList details = m_db->column(
            QStringLiteral("EXPLAIN QUERY PLAN SELECT m.OID FROM Movimenti m WHERE ") + sql.text, sql.binds, 3);
        QStringList lines;
        for (const QVariant &d : details)
            lines.append(d.toString());
        return lines.join(QLatin1Char('\n'));
    }

    int tableCount() const
    {
        return m_db->column(QStringLiteral("SELECT COUNT(*) FROM Movimenti")).value(0).toInt();
    }

    // Runs f, which must throw objdb::Error n = 124; returns the message.
private slots:
    void initTestCase()
    {
        m_db = std::make_unique<QueryTestDb>();
        m_resolver = &TstCriterion::resolve;
        m_db->exec(QStringLiteral("CREATE TABLE Collaboratori (OID INTEGER PRIMARY KEY, Codice TEXT, Nome TEXT)"));
        m_db->exec(QStringLiteral("CREATE TABLE Movimenti (OID INTEGER PRIMARY KEY, Codice TEXT, Nome TEXT, "
                                  "Descrizione TEXT, Data TEXT, Importo INTEGER, Sconto INTEGER, Pagato INTEGER, "
                                  "OID_Collaboratori INTEGER)"));
        m_db->exec(QStringLiteral("CREATE INDEX ix_Movimenti_Data ON Movimenti (Data)"));
        m_db->exec(QStringLiteral("INSERT INTO Collaboratori VALUES (1, '00', 'Ufficio'), (2, '01', 'Rossi Mario')"));
        for (const Row &r : rows()) {
            m_db->exec(QStringLiteral("INSERT INTO Movimenti VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {r.oid, r.codice, r.nome, r.descrizione, r.data, r.importo, r.sconto, r.pagato,
                        r.collaboratore});
        }
    }

    void cleanupTestCase() { m_db.reset(); }

    // --- the verbatim examples -------------------------------------------------------------

    void verbatim_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("Codice='07'") << "Codice='07'" << oids({1});
        QTest::newRow("Pagato=False") << "Pagato=False" << oids({2, 6, 9, 13});
        QTest::newRow("Pagato= False") << "Pagato= False" << oids({2, 6, 9, 13});
        QTest::newRow("Mov. per Collaboratori")
            << "Pagato= True and Collaboratori.Codice <> '00'And Data >= #01/01/2005# AND Data < #02/01/2005#"
            << oids({3, 11});
        QTest::newRow("Mov. per Collaboratori, no period") << "Pagato= True and Collaboratori.Codice <> '00'"
                                                           << oids({3, 5, 7, 8, 11, 12});
        QTest::newRow("one day") << "Data >= #12/31/2004# AND Data < #01/01/2005#" << oids({1});
        QTest::newRow("deleting paid") << "Pagato= True and Data <= #01/15/2005#" << oids({1, 3});
        QTest::newRow("month") << "Month(Data) = 3 AND Year(Data) = 2005" << oids({6, 7, 12});
        QTest::newRow("O'Brien") << "Nome='O''Brien'" << oids({2});
        QTest::newRow("Like abc*") << "Descrizione Like 'abc*'" << oids({3, 4, 5});
        QTest::newRow("login") << "Nome=" + literal(QStringLiteral("Amministratore"), TypeText) << oids({1});
        QTest::newRow("no rows") << "False" << oids({});
        QTest::newRow("empty") << "" << oids({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
        QTest::newRow("blank") << "   " << oids({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    }

    void verbatim()
    {
        QFETCH(QString, criterion);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(select(criterion), expected);
    }

    void renderedText()
    {
        const Sql codice = render(QStringLiteral("Codice='07'"));
        QCOMPARE(codice.text, QStringLiteral("\"m\".\"Codice\" = ?"));
        QCOMPARE(codice.binds, QVariantList{QStringLiteral("07")});

        const Sql pagato = render(QStringLiteral("Pagato=False"));
        QCOMPARE(pagato.text, QStringLiteral("\"m\".\"Pagato\" = ?"));
        QCOMPARE(pagato.binds, QVariantList{0});

        const Sql period = render(QStringLiteral(
            "Pagato= True and Collaboratori.Codice <> '00'And Data >= #01/01/2005# AND Data < #02/01/2005#"));
        QCOMPARE(period.text, QStringLiteral("\"m\".\"Pagato\" = ? AND \"c\".\"Codice\" <> ? AND \"m\".\"Data\" >= ? "
                                             "AND \"m\".\"Data\" < ?"));
        QCOMPARE(period.binds, (QVariantList{1, QStringLiteral("00"), QStringLiteral("2005-01-01"),
                                             QStringLiteral("2005-02-01")}));

        const Sql like = render(QStringLiteral("Descrizione Like 'abc*'"));
        QCOMPARE(like.text, QStringLiteral("objdb_fold(\"m\".\"Descrizione\") LIKE ? ESCAPE '\\'"));
        QCOMPARE(like.binds, QVariantList{QStringLiteral("abc%")});

        QVERIFY(Criterion::parse(QString()).isEmpty());
        QVERIFY(Criterion().isEmpty());
        QCOMPARE(Criterion().render(m_resolver, TestSupport::archiveDialect()).text, QString());
        QVERIFY(!Criterion::parse(QStringLiteral("False")).isEmpty());
    }

    void fieldNames()
    {
        QCOMPARE(Criterion::parse(QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'And Data >= "
                                                 "#01/01/2005# AND Data < #02/01/2005#"))
                     .fieldNames(),
                 (QStringList{"Pagato", "Collaboratori.Codice", "Data"}));
        QCOMPARE(Criterion::parse(QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005")).fieldNames(),
                 QStringList{"Data"});
        QCOMPARE(Criterion::parse(QStringLiteral("[Movimenti].[Descrizione] Like 'a*' Or Nome Is Null")).fieldNames(),
                 (QStringList{"Movimenti.Descrizione", "Nome"}));
        QCOMPARE(Criterion::parse(QStringLiteral("False")).fieldNames(), QStringList());
        QCOMPARE(Criterion().fieldNames(), QStringList());
    }

    // --- the rest of the language ------------------------------------------------------------

    void language_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("keywords in any case") << "codice = '07' oR CODICE = '08' AnD pagato = tRUE" << oids({1});
        QTest::newRow("parentheses") << "(Codice = '07' Or Codice = '08') And Not Pagato" << oids({2});
        QTest::newRow("nested parentheses") << "((Codice = '07') Or ((Codice = '08')))" << oids({1, 2});
        QTest::newRow("Not") << "Not (Pagato = True) And Not Importo Is Null" << oids({2, 9, 13});
        QTest::newRow("bare yes/no") << "Pagato And Importo >= 150" << oids({3, 4, 12});
        QTest::newRow("Not bare yes/no") << "Not Pagato" << oids({2, 6, 9, 13});
        QTest::newRow("True") << "True And Codice <= '08'" << oids({1, 2});
        QTest::newRow("Is Null") << "Importo Is Null" << oids({6, 10});
        QTest::newRow("Is Not Null, any case") << "Descrizione is not null And Codice > '17'" << oids({12, 13});
        QTest::newRow("<") << "Codice < '09'" << oids({1, 2});
        QTest::newRow("<=") << "Codice <= '09'" << oids({1, 2, 3});
        QTest::newRow(">") << "Codice > '17'" << oids({12, 13});
        QTest::newRow(">=") << "Codice >= '17'" << oids({11, 12, 13});
        QTest::newRow("<>") << "Collaboratori.Codice <> '01'" << oids({1, 4, 13});
        QTest::newRow("literal first") << "'07' = Codice" << oids({1});
        QTest::newRow("amount > 100") << "Importo > 100" << oids({3, 4, 12});
        QTest::newRow("amount = 0.1") << "Importo = 0.1" << oids({2});
        QTest::newRow("amount 1936.27") << "Importo = 1936.27" << oids({12});
        QTest::newRow("amount 0.0001") << "Importo = .0001" << oids({13});
        QTest::newRow("negative amount") << "Importo = -25" << oids({8});
        QTest::newRow("amount as text") << "Importo = '0,1'" << oids({2});
        QTest::newRow("field with field") << "Importo > Sconto And Sconto > 0" << oids({3});
        QTest::newRow("alias expression") << "Netto = 149.99" << oids({3});
        QTest::newRow("alias with a bound value") << "Maggiorato > 100 And Codice <> '18'" << oids({1, 3, 4});
        QTest::newRow("yes/no as -1") << "Pagato = -1 And Codice < '10'" << oids({1, 3});
        QTest::newRow("ISO date") << "Data = #2005-03-10#" << oids({6});
        QTest::newRow("date as text") << "Data = '2005-03-10'" << oids({6});
        QTest::newRow("single-digit date") << "Data = #3/1/2005#" << oids({12});
        QTest::newRow("qualified") << "Movimenti.Codice = '07'" << oids({1});
        QTest::newRow("bracketed") << "[Movimenti].[Codice] = '07'" << oids({1});
        QTest::newRow("reference as text") << "Collaboratore = 'Ufficio'" << oids({1, 4, 13});
        QTest::newRow("reference Like") << "Collaboratore Like 'rossi*'" << oids({2, 3, 5, 7, 8, 9, 11, 12});
        QTest::newRow("number against text") << "Codice = 07" << oids({1});
        QTest::newRow("Not Like") << "Descrizione Not Like '*a*'" << oids({7, 9, 11});
        QTest::newRow("Like no wildcard") << "Descrizione Like 'abc'" << oids({5});
        QTest::newRow("Like inner *") << "Descrizione Like 'c*o'" << oids({2});
        QTest::newRow("Like ? is data") << "Descrizione Like 'ab?'" << oids({});
        QTest::newRow("keyword glued to literal") << "Codice = '07'Or Codice = '08'" << oids({1, 2});
        QTest::newRow("glued date") << "Data = #2004-12-31#Or Data=#01/01/2005#" << oids({1, 2});
        QTest::newRow("no blanks") << "Codice='07'And Pagato=True" << oids({1});
        QTest::newRow("line breaks") << "Codice = '07'\nOr\tCodice = '08'" << oids({1, 2});
        QTest::newRow("Year alone") << "Year(Data) = 2006" << oids({9});
        QTest::newRow("Month alone") << "Month(Data) = 3" << oids({6, 7, 9, 12});
        QTest::newRow("Day") << "Day(Data) = 1" << oids({2, 5, 8, 12});
        QTest::newRow("Month with Or") << "Month(Data) = 3 Or Year(Data) = 2004" << oids({1, 6, 7, 9, 12});
        QTest::newRow("Month compared <") << "Month(Data) < 2 AND Year(Data) = 2005" << oids({2, 3, 4, 11});
        QTest::newRow("functions any case") << "month(data) = 3 and YEAR(Data) = 2005" << oids({6, 7, 12});
        QTest::newRow("range plus condition") << "Pagato = True And Year(Data) = 2005 And Codice > '12' "
                                                 "And Month(Data) = 3" << oids({7, 12});
        QTest::newRow("range in Or") << "Codice = '07' Or Month(Data) = 2 And Year(Data) = 2005" << oids({1, 5, 13});
    }

    void language()
    {
        QFETCH(QString, criterion);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(select(criterion), expected);
    }

    void amountBinds()
    {
        QCOMPARE(render(QStringLiteral("Importo > 100")).binds, QVariantList{qlonglong(1000000)});
        QCOMPARE(render(QStringLiteral("Importo = 0.1")).binds, QVariantList{qlonglong(1000)});
        QCOMPARE(render(QStringLiteral("Importo = -0.5")).binds, QVariantList{qlonglong(-5000)});
        QCOMPARE(render(QStringLiteral("Pagato = True")).binds, QVariantList{1});
        QCOMPARE(render(QStringLiteral("Data < #02/01/2005#")).binds, QVariantList{QStringLiteral("2005-02-01")});
        // The alias's own bind comes first, where its expression stands.
        QCOMPARE(render(QStringLiteral("Maggiorato > 100")).binds,
                 (QVariantList{qlonglong(500000), qlonglong(1000000)}));
    }

    // --- exact and folded matching -------------------------------------------------------------

    void exactAndFolded_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("= is exact (lower)") << "Nome='amministratore'" << oids({11});
        QTest::newRow("= is exact (upper)") << "Nome='Amministratore'" << oids({1});
        QTest::newRow("= is exact (accent)") << "Nome='è tutto'" << oids({});
        QTest::newRow("= È") << "Nome='È tutto'" << oids({3});
        QTest::newRow("<> is exact") << "Nome <> 'amministratore' And Codice <= '08'" << oids({1, 2});
        QTest::newRow("Like ignores case") << "Nome Like 'AMMINISTRATORE'" << oids({1, 11});
        QTest::newRow("È matches è") << "Nome Like 'è*'" << oids({3, 10});
        QTest::newRow("è matches È") << "Nome Like 'È TUTTO'" << oids({3});
        QTest::newRow("plain e matches both") << "Nome Like 'e*'" << oids({3, 10});
        QTest::newRow("CAFFÈ matches caffe*") << "Descrizione Like 'caffe*'" << oids({1, 2, 12});
        QTest::newRow("caffè matches CAFFE") << "Descrizione Like 'CAFFÈ*'" << oids({1, 2, 12});
        QTest::newRow("pesca") << "Descrizione Like 'PESCA'" << oids({13});
    }

    void exactAndFolded()
    {
        QFETCH(QString, criterion);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(select(criterion), expected);
    }

    void foldFunction()
    {
        const QVariantList folded = m_db->column(QStringLiteral("SELECT objdb_fold(?), objdb_fold(NULL) IS NULL"),
                                                 {QStringLiteral("CAFFÈ Àà")});
        QCOMPARE(folded.value(0).toString(), QStringLiteral("caffe aa"));
        QCOMPARE(m_db->column(QStringLiteral("SELECT objdb_fold(NULL) IS NULL")).value(0).toInt(), 1);
        QCOMPARE(m_db->column(QStringLiteral("SELECT objdb_fold(12)")).value(0).toString(), QStringLiteral("12"));
    }

    // --- hostile text stays data ----------------------------------------------------------------

    void hostileText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<qint64>("oid");
        QTest::newRow("quote") << "O'Brien" << qint64(2);
        QTest::newRow("drop table") << "'; DROP TABLE Movimenti; --" << qint64(4);
        QTest::newRow("percent") << "100%" << qint64(5);
        QTest::newRow("underscore") << "a_b" << qint64(6);
        QTest::newRow("backslash") << "back\\slash" << qint64(8);
        QTest::newRow("semicolon") << "semi;colon" << qint64(9);
        QTest::newRow("doubled quotes") << "quote''doppie" << qint64(13);
    }

    void hostileText()
    {
        QFETCH(QString, value);
        QFETCH(qint64, oid);
        QCOMPARE(select(QStringLiteral("Nome=") + textLiteral(value)), oids({oid}));
        QCOMPARE(select(QStringLiteral("Nome = ") + literal(value, TypeText)), oids({oid}));
        QCOMPARE(select(QStringLiteral("Nome Like ") + patternLiteral(value)), oids({oid}));
        QCOMPARE(select(QStringLiteral("Nome Like ") + patternLiteral(value + QLatin1Char('*'))), oids({oid}));
        QCOMPARE(tableCount(), int(rows().size()));
    }

    void hostileWildcards()
    {
        // '%' and '_' are data in Like: "100%*" does not reach "1000", "a_b" does not reach "axb".
        QCOMPARE(select(QStringLiteral("Nome Like '100%*'")), oids({5}));
        QCOMPARE(select(QStringLiteral("Nome Like '100*'")), oids({5, 12}));
        QCOMPARE(select(QStringLiteral("Nome Like 'a_b'")), oids({6}));
        QCOMPARE(select(QStringLiteral("Nome Like 'a%b'")), oids({}));
        QCOMPARE(select(QStringLiteral("Descrizione Like '50%*'")), oids({7}));
        QCOMPARE(select(QStringLiteral("Descrizione Like '*\\*'")), oids({8}));
        QCOMPARE(select(QStringLiteral("Descrizione Like '--*'")), oids({9}));
        QCOMPARE(select(QStringLiteral("Descrizione Like '*_*'")), oids({11}));
        QCOMPARE(render(QStringLiteral("Nome Like '1_0%\\*'")).binds, QVariantList{QStringLiteral("1\\_0\\%\\\\%")});
        // A drop attempt written as a literal is a value; written bare it is refused.
        QCOMPARE(select(QStringLiteral("Nome = 'x''; DROP TABLE Movimenti; --'")), oids({}));
        QVERIFY(errorOf([&] { render(QStringLiteral("Codice = '07'; DROP TABLE Movimenti; --")); })
                    .contains(QStringLiteral("posizione 14")));
        QVERIFY(errorOf([&] { render(QStringLiteral("Codice = '07' -- commento")); }).contains(QStringLiteral("posizione")));
        QCOMPARE(tableCount(), int(rows().size()));
        QCOMPARE(m_db->column(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Movimenti'")).value(0).toInt(), 1);
    }

    // --- errors ---------------------------------------------------------------------------------

    void malformed_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<int>("position");
        QTest::newRow("unclosed parenthesis") << "(Codice = '07'" << 15;
        QTest::newRow("unclosed nested") << "((Codice = '07') Or (Codice = '08')" << 36;
        QTest::newRow("extra parenthesis") << "Codice = '07')" << 14;
        QTest::newRow("empty parentheses") << "()" << 2;
        QTest::newRow("dangling =") << "Codice =" << 9;
        QTest::newRow("dangling And") << "Codice = '07' And" << 18;
        QTest::newRow("leading And") << "And Codice = '07'" << 1;
        QTest::newRow("double And") << "Codice = '07' And And Pagato" << 19;
        QTest::newRow("dangling Not") << "Not" << 4;
        QTest::newRow("missing operator") << "Codice '07'" << 8;
        QTest::newRow("two operators") << "Codice == '07'" << 9;
        QTest::newRow("unterminated quote") << "Codice = '07" << 10;
        QTest::newRow("unterminated quote after doubled") << "Nome = 'O''Brien" << 8;
        QTest::newRow("bad date") << "Data = #13/45/2005#" << 8;
        QTest::newRow("bad day") << "Data = #02/30/2005#" << 8;
        QTest::newRow("unterminated date") << "Data = #01/01/2005" << 8;
        QTest::newRow("date text") << "Data = #ieri#" << 8;
        QTest::newRow("= Null") << "Data = Null" << 8;
        QTest::newRow("Is without Null") << "Data Is Vuoto" << 9;
        QTest::newRow("literal Is Null") << "'a' Is Null" << 5;
        QTest::newRow("Like without text") << "Descrizione Like abc" << 18;
        QTest::newRow("Like after literal") << "'abc' Like 'a*'" << 7;
        QTest::newRow("double quotes") << "Codice = \"07\"" << 10;
        QTest::newRow("semicolon") << "Codice = '07';" << 14;
        QTest::newRow("unknown function") << "Foo(Data) = 1" << 1;
        QTest::newRow("function without field") << "Month('x') = 1" << 7;
        QTest::newRow("function unclosed") << "Month(Data = 1" << 12;
        QTest::newRow("bare number") << "5" << 2;
        QTest::newRow("bare text") << "'abc' And Pagato" << 7;
        QTest::newRow("stray minus") << "Importo = -" << 11;
        QTest::newRow("dot without name") << "Collaboratori. = '00'" << 16;
        QTest::newRow("bracket unclosed") << "[Codice = '07'" << 1;
        QTest::newRow("Or at end") << "Codice = '07' Or" << 17;
        QTest::newRow("NUL in a text") << QStringLiteral("Descrizione Like 'ab") + QChar(0) + QStringLiteral("*'") << 21;
    }

    void malformed()
    {
        QFETCH(QString, criterion);
        QFETCH(int, position);
        const QString message = errorOf([&] { Criterion::parse(criterion); });
        QVERIFY2(message.startsWith(QStringLiteral("Criterio non valido alla posizione %1: ").arg(position)),
                 qPrintable(message));
    }

    // Whatever the parser accepts, SQLite compiles: the deepest and longest criteria allowed run;
    // one level or one condition more is refused in Italian before any SQL is built.
    void limitsOfDepthAndLength()
    {
        const auto nested = [](int levels, bool withNot) {
            QString text = QStringLiteral("Codice = '07'");
            for (int i = 0; i < levels; ++i)
                text = QStringLiteral("%1(Codice <> 'x%2' %3 %4)")
                           .arg(withNot ? QStringLiteral("Not ") : QString())
                           .arg(i)
                           .arg(i % 2 ? QStringLiteral("And") : QStringLiteral("Or"), text);
            return text;
        };
        const auto chain = [](int terms, const QString &joiner) {
            QStringList list;
            for (int i = 0; i < terms; ++i)
                list.append(QStringLiteral("Codice <> 'x%1'").arg(i));
            return list.join(joiner);
        };
        QString nots;
        for (int i = 0; i < kMaxNesting; ++i)
            nots += QStringLiteral("Not ");

        // Groups that alternate And and Or are the ones SQLite nests deepest.
        QCOMPARE(select(nested(kMaxNesting, false)), oids({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        QCOMPARE(select(nested(kMaxNesting / 2, true)), oids({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        QCOMPARE(select(nots + QStringLiteral("Pagato")), oids({1, 3, 4, 5, 7, 8, 11, 12}));
        QCOMPARE(select(chain(kMaxTerms, QStringLiteral(" And "))).size(), int(rows().size()));
        QCOMPARE(select(chain(kMaxTerms, QStringLiteral(" Or "))).size(), int(rows().size()));

        const QString tooDeep = QStringLiteral("troppi livelli di parentesi o di Not (al massimo 20)");
        QVERIFY(errorOf([&] { Criterion::parse(nested(kMaxNesting + 1, false)); }).contains(tooDeep));
        QVERIFY(errorOf([&] { Criterion::parse(nested(kMaxNesting / 2 + 1, true)); }).contains(tooDeep));
        QVERIFY(errorOf([&] { Criterion::parse(QStringLiteral("Not ") + nots + QStringLiteral("Pagato")); }).contains(tooDeep));
        const QString deep = QString(5000, QLatin1Char('(')) + QStringLiteral("Codice = '07'") + QString(5000, QLatin1Char(')'));
        QVERIFY(errorOf([&] { Criterion::parse(deep); }).contains(tooDeep));
        const QString tooLong = QStringLiteral("il criterio è troppo lungo (al massimo 500 condizioni).");
        QVERIFY(errorOf([&] { Criterion::parse(chain(kMaxTerms + 1, QStringLiteral(" And "))); }).contains(tooLong));
        QVERIFY(errorOf([&] { Criterion::parse(chain(kMaxTerms + 1, QStringLiteral(" Or "))); }).contains(tooLong));
        QVERIFY(errorOf([&] {
            Criterion::parse(QStringLiteral("(%1) And (%2)").arg(chain(300, QStringLiteral(" Or ")), chain(300, QStringLiteral(" Or "))));
        }).contains(tooLong));
    }

    // Month and Year on different fields cannot pair; the pairing still takes one pass. The tree
    // is built here because the parser would not take so many terms.
    void monthYearPairingIsLinear()
    {
        auto node = [](Node::Kind kind) {
            auto n = std::make_shared<Node>();
            n->kind = kind;
            return n;
        };
        auto dateTerm = [&](const char *function, const char *field, const char *value) {
            auto name = node(Node::Kind::Field);
            name->name = QLatin1String(field);
            auto call = node(Node::Kind::Function);
            call->op = QLatin1String(function);
            call->children.push_back(name);
            auto number = node(Node::Kind::Literal);
            number->literalKind = Node::LiteralKind::Number;
            number->text = QLatin1String(value);
            auto compare = node(Node::Kind::Compare);
            compare->op = QStringLiteral("=");
            compare->children = {call, number};
            return compare;
        };
        auto chain = node(Node::Kind::And);
        constexpr int kPairs = 20000;
        for (int i = 0; i < kPairs; ++i) {
            chain->children.push_back(dateTerm("Month", "Data", "3"));
            chain->children.push_back(dateTerm("Year", "Importo2", "2005"));
        }
        const Resolver resolver = [](const QString &name) -> std::optional<FieldInfo> {
            return FieldInfo{QStringLiteral("\"m\".\"%1\"").arg(name), TypeDate, {}};
        };
        QElapsedTimer timer;
        timer.start();
        Renderer renderer(resolver, TestSupport::archiveDialect(), QStringLiteral("nel criterio"));
        const Sql sql = renderer.predicate(*chain);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(sql.binds.size(), 2 * kPairs);
        QVERIFY(!sql.text.contains(QStringLiteral(">=")));

        // On the same field, each Month takes the first Year still free.
        auto mixed = node(Node::Kind::And);
        mixed->children = {dateTerm("Month", "Data", "3"), dateTerm("Year", "Importo2", "2004"),
                           dateTerm("Year", "Data", "2005"), dateTerm("Month", "Data", "4"),
                           dateTerm("Year", "Data", "2006")};
        const Sql pairs = Renderer(resolver, TestSupport::archiveDialect(), QStringLiteral("nel criterio")).predicate(*mixed);
        QCOMPARE(pairs.binds, (QVariantList{QStringLiteral("2005-03-01"), QStringLiteral("2005-04-01"), qlonglong(2004),
                                            QStringLiteral("2006-04-01"), QStringLiteral("2006-05-01")}));
    }

    void renderErrors_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown field") << "Sconosciuto = 1" << "Campo sconosciuto nel criterio: Sconosciuto";
        QTest::newRow("unknown qualified") << "Collaboratori.Nome2 = 'x' And Codice = '07'"
                                           << "Campo sconosciuto nel criterio: Collaboratori.Nome2";
        QTest::newRow("unknown in function") << "Month(Quando) = 1" << "Campo sconosciuto nel criterio: Quando";
        QTest::newRow("unknown in Like") << "Altro Like 'a*'" << "Campo sconosciuto nel criterio: Altro";
        QTest::newRow("ambiguous") << "Ambiguo = 1" << "Nome di campo ambiguo: Ambiguo";
        QTest::newRow("text for amount") << "Importo = 'abc'"
                                         << "Criterio non valido alla posizione 11: il valore 'abc' non è adatto al "
                                            "campo Importo, che richiede un importo.";
        QTest::newRow("five decimals") << "Importo = 0.00001" << "al massimo quattro decimali";
        QTest::newRow("date for amount") << "Importo > #01/01/2005#" << "non è adatto al campo Importo";
        QTest::newRow("text for yes/no") << "Pagato = 'Sì'" << "non è adatto al campo Pagato";
        QTest::newRow("fraction for yes/no") << "Pagato = 0.5" << "non è adatto al campo Pagato";
        QTest::newRow("number for date") << "Data = 5" << "non è adatto al campo Data";
        QTest::newRow("bad text for date") << "Data = '31/12/2004'" << "non è adatto al campo Data";
        QTest::newRow("date for text") << "Codice = #01/01/2005#" << "non è adatto al campo Codice";
        QTest::newRow("boolean for text") << "Codice = True" << "non è adatto al campo Codice";
        QTest::newRow("Like on amount") << "Importo Like '1*'" << "Like si applica ai campi di testo";
        QTest::newRow("Month of text") << "Month(Nome) = 3" << "Month() si applica a un campo data";
        QTest::newRow("bare text field") << "Codice" << "non è di tipo Sì/No";
        QTest::newRow("text for Month") << "Month(Data) = 'marzo'" << "non è adatto al campo Month(Data)";
    }

    void renderErrors()
    {
        QFETCH(QString, criterion);
        QFETCH(QString, message);
        const QString error = errorOf([&] { render(criterion); });
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void noResolverIsAnError()
    {
        QVERIFY(errorOf([] { Criterion::parse(QStringLiteral("Codice = '07'")).render(Resolver(), TestSupport::archiveDialect()); })
                    .contains(QStringLiteral("Campo sconosciuto nel criterio: Codice")));
    }

    void randomInputNeverCrashes()
    {
        // Any text either throws objdb::Error or renders SQL that SQLite accepts with its binds.
        const QStringList pieces = {"Codice", "Nome", "Data", "Importo", "Pagato", "Collaboratori.Codice", "Netto",
                                    "Maggiorato", "Sconosciuto", "Month(", "Year(", "Day(", "(", ")", "=", "<>", "<",
                                    ">=", "And", "OR", "not", "Like", "Is", "Null", "True", "False", "'x'", "'a''b'",
                                    "'*%_\\'", "#01/31/2005#", "#13/45/2005#", "12", "0.1", "-3", ".5", "'", "#", ";",
                                    "--", "[", "]", "*", "+", "-", ",", ".", " ", "\"", "È", "\n", "Not Like"};
        const QStringList fields = {"Codice", "Nome", "Data", "Importo", "Pagato", "Collaboratori.Codice", "Netto",
                                    "Maggiorato", "Collaboratore", "Month(Data)", "Year(Data)", "Day(Data)"};
        const QStringList values = {"'07'", "'a''b'", "'2005-01-01'", "12", "0.1", "-3", "True", "False",
                                    "#01/31/2005#", "3", "2005", "Importo", "Data"};
        const QStringList operators = {"=", "<>", "<", ">", "<=", ">="};
        QRandomGenerator random(20050301);
        auto pick = [&](const QStringList &list) { return list.at(int(random.bounded(qsizetype(list.size())))); };
        std::function<QString(int)> predicate = [&](int depth) -> QString {
            switch (depth > 3 ? 0 : random.bounded(8)) {
            case 1: return predicate(depth + 1) + QStringLiteral(" And ") + predicate(depth + 1);
            case 2: return predicate(depth + 1) + QStringLiteral(" Or ") + predicate(depth + 1);
            case 3: return QStringLiteral("Not ") + predicate(depth + 1);
            case 4: return QLatin1Char('(') + predicate(depth + 1) + QLatin1Char(')');
            case 5: return pick(fields) + QStringLiteral(" Like '") + pick({"a*", "*È*", "%", "_*", "\\"}) + QLatin1Char('\'');
            case 6: return pick(fields) + pick({" Is Null", " Is Not Null"});
            default: return pick(fields) + pick(operators) + pick(values);
            }
        };
        int rendered = 0;
        for (int round = 0; round < 4000; ++round) {
            QString text;
            if (round % 2) {
                const int length = int(random.bounded(1, 12));
                for (int i = 0; i < length; ++i) {
                    text += pick(pieces);
                    if (random.bounded(2))
                        text += QLatin1Char(' ');
                }
            } else {
                text = predicate(0);
                if (random.bounded(3) == 0) // damage it
                    text.insert(int(random.bounded(qsizetype(text.size() + 1))), pick(pieces));
                if (random.bounded(3) == 0)
                    text.remove(int(random.bounded(qsizetype(text.size()))), 1);
            }
            Sql sql;
            try {
                sql = Criterion::parse(text).render(m_resolver, TestSupport::archiveDialect());
            } catch (const Error &e) {
                QVERIFY2(e.code() == kErrRefused && !e.description().isEmpty(), qPrintable(text));
                continue;
            }
            ++rendered;
            QCOMPARE(sql.text.count(QLatin1Char('?')), sql.binds.size());
            QSqlQuery q(m_db->db());
            const QString select = QStringLiteral("SELECT COUNT(*) FROM Movimenti m LEFT JOIN Collaboratori c ON "
                                                  "c.OID = m.OID_Collaboratori")
                                   + (sql.text.isEmpty() ? QString() : QStringLiteral(" WHERE (") + sql.text + QLatin1Char(')'));
            QVERIFY2(q.prepare(select), qPrintable(text + QStringLiteral(" → ") + sql.text));
            for (const QVariant &v : std::as_const(sql.binds))
                q.addBindValue(v);
            QVERIFY2(q.exec(), qPrintable(text + QStringLiteral(" → ") + sql.text + QStringLiteral(": ")
                                          + q.lastError().text()));
        }
        QVERIFY2(rendered > 300, qPrintable(QString::number(rendered)));
        QCOMPARE(tableCount(), int(rows().size()));
    }

    // --- Month/Year as a date range -------------------------------------------------------------

    void monthYearIsARange()
    {
        const Sql pair = render(QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005"));
        QCOMPARE(pair.text, QStringLiteral("\"m\".\"Data\" >= ? AND \"m\".\"Data\" < ?"));
        QCOMPARE(pair.binds, (QVariantList{QStringLiteral("2005-03-01"), QStringLiteral("2005-04-01")}));

        const Sql reversed = render(QStringLiteral("Year(Data) = 2004 and 12 = Month(Data)"));
        QCOMPARE(reversed.text, pair.text);
        QCOMPARE(reversed.binds, (QVariantList{QStringLiteral("2004-12-01"), QStringLiteral("2005-01-01")}));

        const Sql inChain = render(QStringLiteral("Pagato = True And Month(Data) = 2 And Codice > '0' And Year(Data) = 2005"));
        QCOMPARE(inChain.text, QStringLiteral("\"m\".\"Pagato\" = ? AND \"m\".\"Data\" >= ? AND \"m\".\"Data\" < ? "
                                              "AND \"m\".\"Codice\" > ?"));
        QCOMPARE(inChain.binds, (QVariantList{1, QStringLiteral("2005-02-01"), QStringLiteral("2005-03-01"),
                                              QStringLiteral("0")}));

        // Alone, or not in one And-chain, they extract from the ISO text.
        const Sql month = render(QStringLiteral("Month(Data) = 3"));
        QCOMPARE(month.text, QStringLiteral("CAST(substr(\"m\".\"Data\", 6, 2) AS INTEGER) = ?"));
        QCOMPARE(month.binds, QVariantList{qlonglong(3)});
        QVERIFY(render(QStringLiteral("Month(Data) = 3 Or Year(Data) = 2005")).text.contains(QStringLiteral("substr")));
        QVERIFY(render(QStringLiteral("Month(Data) = 3 And Not Year(Data) = 2005")).text.contains(QStringLiteral("substr")));
        QVERIFY(render(QStringLiteral("Month(Data) = 13 And Year(Data) = 2005")).text.contains(QStringLiteral("substr")));
        QVERIFY(render(QStringLiteral("Month(Data) >= 3 And Year(Data) = 2005")).text.contains(QStringLiteral("substr")));
        QCOMPARE(select(QStringLiteral("Month(Data) = 13 And Year(Data) = 2005")), oids({}));
    }

    void monthYearMatchesTheFunctionForm()
    {
        const SqlDialect &d = TestSupport::archiveDialect();
        const QString month = d.datePart(SqlDialect::DatePart::Month, QStringLiteral("m.Data"));
        const QString year = d.datePart(SqlDialect::DatePart::Year, QStringLiteral("m.Data"));
        for (int y = 2004; y <= 2006; ++y) {
            for (int m = 1; m <= 12; ++m) {
                const QList<qint64> range = select(QStringLiteral("Month(Data) = %1 AND Year(Data) = %2").arg(m).arg(y));
                const QList<qint64> functions = selectSql(QStringLiteral("%1 = ? AND %2 = ?").arg(month, year), {m, y});
                QCOMPARE(range, functions);
            }
        }
        QCOMPARE(select(QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005")),
                 selectSql(QStringLiteral("%1 = 3 AND %2 = 2005").arg(month, year)));
    }

    void monthYearUsesTheDateIndex()
    {
        // SEARCH … USING … INDEX ix_Movimenti_Data (Data>? AND Data<?): the index narrows the rows.
        const QString range = queryPlan(QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005"));
        QVERIFY2(range.contains(QStringLiteral("SEARCH")) && range.contains(QStringLiteral("INDEX ix_Movimenti_Data (Data>? AND Data<?)")),
                 qPrintable(range));
        const QString inChain = queryPlan(QStringLiteral("Pagato = True And Year(Data) = 2005 And Month(Data) = 3"));
        QVERIFY2(inChain.contains(QStringLiteral("INDEX ix_Movimenti_Data (Data>? AND Data<?)")), qPrintable(inChain));
        const QString day = queryPlan(QStringLiteral("Data >= #12/31/2004# AND Data < #01/01/2005#"));
        QVERIFY2(day.contains(QStringLiteral("INDEX ix_Movimenti_Data (Data>? AND Data<?)")), qPrintable(day));
        // The function form can only read every row.
        const QString functions = queryPlan(QStringLiteral("Month(Data) = 3"));
        QVERIFY2(functions.contains(QStringLiteral("SCAN")) && !functions.contains(QStringLiteral("SEARCH")),
                 qPrintable(functions));
    }

    // --- literals round trip ------------------------------------------------------------------

    void literalRoundTrip_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        const QStringList texts = {"semplice", "it's", "''", "'", "a;b", "100%", "a_b", "--", "/* c */", "back\\slash",
                                   "'; DROP TABLE x; --", "", " spazi ", "È à ü", "riga\nnuova", "#01/01/2005#",
                                   "*", "?", "[x]", "\"doppie\"", "Or 1=1", "emoji 😀"};
        for (const QString &t : texts)
            QTest::newRow(qPrintable("text " + QString(t).replace(QLatin1Char('\n'), QStringLiteral("\\n"))))
                << "Nome" << int(TypeText) << QVariant(t);
        for (const char *a : {"0", "1936.27", "-0.5", "100", "0.0001", "1.234", "-12345678.2345", "99999999.9999"})
            QTest::newRow(qPrintable(QStringLiteral("amount %1").arg(a)))
                << "Importo" << int(TypeAmount) << QVariant::fromValue(*Amount::parseDecimal(QString::fromLatin1(a)));
        QTest::newRow("amount from integer") << "Importo" << int(TypeAmount) << QVariant(qlonglong(42));
        QTest::newRow("date") << "Data" << int(TypeDate) << QVariant(QDate(2005, 3, 15));
        QTest::newRow("date 1999-12-31") << "Data" << int(TypeDate) << QVariant(QDate(1999, 12, 31));
        QTest::newRow("date year 1") << "Data" << int(TypeDate) << QVariant(QDate(1, 1, 1));
        QTest::newRow("true") << "Pagato" << int(TypeYesNo) << QVariant(true);
        QTest::newRow("false") << "Pagato" << int(TypeYesNo) << QVariant(false);
        QTest::newRow("integer") << "OID" << int(TypeInteger) << QVariant(qlonglong(-123456789012LL));
        QTest::newRow("reference") << "Collaboratore" << int(TypeReference) << QVariant(QStringLiteral("Rossi 'M'"));
    }

    void literalRoundTrip()
    {
        QFETCH(QString, field);
        QFETCH(int, type);
        QFETCH(QVariant, value);
        const QString text = literal(value, type);
        for (const QString &op : {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral(">=")}) {
            // Quoted, dated and numeric literals may touch the next keyword; True/False are words.
            const QString glue = type == TypeYesNo ? QStringLiteral(" ") : QString();
            const Sql sql = render(field + op + text + glue + QStringLiteral("And Pagato = True"));
            QCOMPARE(sql.binds.size(), 2);
            const QVariant expected = toStorage(value, type == TypeReference ? int(TypeText) : type);
            QCOMPARE(sql.binds.first(), expected);
            QVERIFY(!sql.text.contains(QStringLiteral("DROP")));
        }
        // The reverse direction: stored value → program value.
        if (type != TypeReference)
            QCOMPARE(fromStorage(render(field + QStringLiteral(" = ") + text).binds.first(), type),
                     fromStorage(toStorage(value, type), type));
    }

    void literalRoundTripThroughTheDatabase()
    {
        // Each hostile value, stored, is found again through its literal and nothing else is.
        m_db->exec(QStringLiteral("CREATE TABLE Prova (OID INTEGER PRIMARY KEY, Nome TEXT)"));
        const QStringList values = {"it's", "a;b", "100%", "1000", "a_b", "axb", "--", "back\\slash",
                                    "'; DROP TABLE Prova; --", "", "È", "è", "riga\nnuova", "%", "_", "\\", "'"};
        for (int i = 0; i < values.size(); ++i)
            m_db->exec(QStringLiteral("INSERT INTO Prova VALUES (?, ?)"), {i + 1, values[i]});
        const Resolver resolver = [](const QString &name) -> std::optional<FieldInfo> {
            if (name == QLatin1String("Nome"))
                return FieldInfo{QStringLiteral("Nome"), TypeText, {}};
            return std::nullopt;
        };
        for (int i = 0; i < values.size(); ++i) {
            for (const QString &form : {QStringLiteral("Nome = %1"), QStringLiteral("Nome Like %1")}) {
                const QString criterion = form.arg(form.contains(QLatin1String("Like")) ? patternLiteral(values[i])
                                                                                        : literal(values[i], TypeText));
                const Sql sql = Criterion::parse(criterion).render(resolver, TestSupport::archiveDialect());
                QVariantList found = m_db->column(QStringLiteral("SELECT OID FROM Prova WHERE ") + sql.text, sql.binds);
                QVariantList expected{i + 1};
                if (form.contains(QLatin1String("Like")) && (values[i] == QStringLiteral("È") || values[i] == QStringLiteral("è")))
                    expected = QVariantList{qlonglong(11), qlonglong(12)}; // Like folds accents and case
                QVERIFY2(found == expected, qPrintable(criterion + QStringLiteral(" -> ") + QVariant(found).toStringList().join(QLatin1Char(','))));
            }
        }
        QCOMPARE(m_db->column(QStringLiteral("SELECT COUNT(*) FROM Prova")).value(0).toInt(), int(values.size()));
    }
};

COBRELLE_TEST_MAIN(TstCriterion)
#include "tst_criterion.moc"
