// Related data of a row: the relations a table offers with their one numbering, the marks, whether
// a row may navigate, and the rows each relation leads to.

#include "objdbtestsupport.h"

#include "objdb/relations/relations.h"
#include "objdb/types.h"

#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

// Offices and reasons are referred to by accounts; deposits are the accounts' children and have a
// kind (a reason). The accounts' office is a hidden reference.
class Plain : public itfDefTable {
public:
    Plain(QString name, QString parent = {}) : m_name(std::move(name)), m_parent(std::move(parent)) {}
    QString TableName() const override { return m_name; }
    void DefineStructure(ColumnCollection &c, IndexCollection &, ReferenceCollection &r) override
    {
        c.AddColumn(QStringLiteral("Codice"), TypeText, 8);
        if (m_name == QLatin1String("Conti")) {
            r.AddReference(QStringLiteral("Causale"), QStringLiteral("Causali"), QStringLiteral("Codice"), QStringLiteral("Codice"));
            r.AddReference(QStringLiteral("Ufficio"), QStringLiteral("Uffici"), QStringLiteral("Codice"), QStringLiteral("Codice"),
                           true);
        }
        if (m_name == QLatin1String("Versamenti"))
            r.AddReference(QStringLiteral("Tipo"), QStringLiteral("Causali"), QStringLiteral("Codice"), QStringLiteral("Codice"));
    }
    void DefineIdentity(Identity &identity) override
    {
        identity.ParentTable = m_parent;
        if (m_name == QLatin1String("Conti"))
            identity.Caption = QStringLiteral("Conti clienti");
    }

private:
    QString m_name;
    QString m_parent;
};

class Definition : public itfDefDatabase {
public:
    void Define(DatabaseDefinition &d) override
    {
        d.AddTable(std::make_shared<Plain>(QStringLiteral("Causali")));
        d.AddTable(std::make_shared<Plain>(QStringLiteral("Uffici")));
        d.AddTable(std::make_shared<Plain>(QStringLiteral("Conti")));
        d.AddTable(std::make_shared<Plain>(QStringLiteral("Versamenti"), QStringLiteral("Conti")));
    }
};

QString kindText(RelationKind kind)
{
    switch (kind) {
    case RelationKind::References: return QStringLiteral("rif");
    case RelationKind::Referencing: return QStringLiteral("da");
    case RelationKind::Containers: return QStringLiteral("cont");
    }
    return {};
}

} // namespace

class TestRelations : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;

    void exec(const QString &sql)
    {
        QSqlQuery q = m_archive.database->exec(sql);
        Q_UNUSED(q)
    }
    std::shared_ptr<DataSource> open(const QString &table, const QString &filter = QString())
    {
        return m_archive.context->Tables().Item(table).OpenDataSource(filter);
    }
    // The codes of a data source's rows, in the default order.
    static QStringList codes(DataSource &ds)
    {
        QStringList list;
        for (bool more = ds.MoveFirst(); more && !ds.AtEOF(); more = ds.MoveNext())
            list.append(ds.GetField(QStringLiteral("Codice")).toString());
        list.sort();
        return list;
    }

private slots:
    void initTestCase() { TestSupport::initEnvironment(); }
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSupport::openArchive(std::make_shared<Definition>(), QStringLiteral("test"), m_dir->databasePath());
    }
    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    void numberedAsOneList_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("expected");
        // A child offers its parent's references too, but not the link back to itself.
        QTest::newRow("child") << "Versamenti"
                               << QStringList{"rif Tipo (Causali) vuota", "rif Causale (Causali) vuota",
                                              "cont Versamenti>Conti (Conti clienti) molti"};
        // The hidden office takes no number; the children come through their parent link.
        QTest::newRow("parent") << "Conti"
                                << QStringList{"rif Causale (Causali) vuota", "da Conti (Versamenti) molti"};
        QTest::newRow("referred to") << "Causali"
                                     << QStringList{"da Causale (Conti clienti) molti", "da Tipo (Versamenti) molti"};
        QTest::newRow("hidden only") << "Uffici" << QStringList{};
    }
    void numberedAsOneList()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, expected);
        exec(QStringLiteral("INSERT INTO Conti (Codice) VALUES ('C1')"));
        exec(QStringLiteral("INSERT INTO Versamenti (Codice, OID_Conti) VALUES ('V1', 1)"));
        QStringList got;
        const auto ds = open(table);
        const QList<Relation> relations = Relations::Numbered(*ds);
        for (const Relation &r : relations) {
            QString text = kindText(r.kind) + QLatin1Char(' ');
            if (r.kind == RelationKind::Containers)
                text += r.SourceCaption + QLatin1Char('>') + r.Name + QStringLiteral(" (") + r.TableCaption + QLatin1Char(')');
            else if (r.kind == RelationKind::Referencing)
                text += r.Name + QStringLiteral(" (") + r.TableCaption + QLatin1Char(')');
            else
                text += r.Description;
            if (!r.Usable)
                text += QStringLiteral(" vuota");
            if (r.Plural)
                text += QStringLiteral(" molti");
            got.append(text);
        }
        QCOMPARE(got, expected);
        for (int n = 1; n <= relations.size(); ++n)
            QCOMPARE(Relations::RelationByNumber(*ds, n)->Description, relations.at(n - 1).Description);
        QVERIFY(!Relations::RelationByNumber(*ds, 0));
        QVERIFY(!Relations::RelationByNumber(*ds, int(relations.size()) + 1));
    }

    void relatedRowsOfTheCurrentRow_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("the kind a deposit refers to") << "Versamenti" << "V2" << 1 << QStringList{"K2"};
        QTest::newRow("its account's reason") << "Versamenti" << "V2" << 2 << QStringList{"K1"};
        QTest::newRow("deposits of the same account") << "Versamenti" << "V2" << 3 << QStringList{"V1", "V2"};
        QTest::newRow("an account's deposits") << "Conti" << "C2" << 2 << QStringList{"V3"};
        QTest::newRow("accounts of a reason") << "Causali" << "K1" << 1 << QStringList{"C1", "C2"};
        QTest::newRow("deposits of a kind") << "Causali" << "K1" << 2 << QStringList{"V3"};
        QTest::newRow("no reason set") << "Conti" << "C3" << 1 << QStringList{};
    }
    void relatedRowsOfTheCurrentRow()
    {
        QFETCH(QString, table);
        QFETCH(QString, current);
        QFETCH(int, number);
        QFETCH(QStringList, rows);
        exec(QStringLiteral("INSERT INTO Causali (OID, Codice) VALUES (1, 'K1'), (2, 'K2')"));
        exec(QStringLiteral("INSERT INTO Conti (OID, Codice, Causale) VALUES (1, 'C1', 1), (2, 'C2', 1), (3, 'C3', NULL)"));
        exec(QStringLiteral("INSERT INTO Versamenti (Codice, OID_Conti, Tipo) VALUES ('V1', 1, 2), ('V2', 1, 2), ('V3', 2, 1)"));
        const auto ds = open(table);
        QVERIFY(ds->FindFirst(QStringLiteral("Codice='%1'").arg(current)));
        QVERIFY(Relations::CanNavigate(*ds));
        const auto related = Relations::RelatedDataSource(*ds, *Relations::RelationByNumber(*ds, number));
        QVERIFY(related->isReadOnly());
        QCOMPARE(codes(*related), rows);
    }

    void aRowThatCannotNavigateIsRefused()
    {
        exec(QStringLiteral("INSERT INTO Causali (Codice) VALUES ('K1')"));
        const auto empty = open(QStringLiteral("Conti"));
        QVERIFY(!Relations::CanNavigate(*empty));
        const auto ds = open(QStringLiteral("Causali"));
        QVERIFY(ds->FindFirst(QStringLiteral("Codice='K1'")));
        QVERIFY(Relations::CanNavigate(*ds));
        QVERIFY(ds->SetField(QStringLiteral("Codice"), QStringLiteral("K9")));
        QVERIFY(!Relations::CanNavigate(*ds));
        QCOMPARE(TestSupport::refusal([&] { Relations::RelatedDataSource(*ds, *Relations::RelationByNumber(*ds, 1)); }),
                 QStringLiteral("Operazione non abilitata in questa fase"));
        ds->CancelEdit();
        QVERIFY(ds->AddNew());
        QVERIFY(!Relations::CanNavigate(*ds));
    }
};

COBRELLE_TEST_MAIN(TestRelations)
#include "tst_relations.moc"
