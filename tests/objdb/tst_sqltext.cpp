// The SQL text a data source builds: its clauses change only as a whole, and the only names spliced
// into it are checked identifiers.

#include "objdbtestsupport.h"

#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QApplication>
#include <QtTest>

using namespace objdb;

namespace {

class Voci : public itfDefTable {
public:
    QString TableName() const override { return QStringLiteral("Voci"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Nome"), TypeText, 20);
        i.AddIndex(QStringLiteral("Nome"), false);
    }
};

class Definition : public itfDefDatabase {
public:
    void Define(DatabaseDefinition &d) override { d.AddTable(std::make_shared<Voci>()); }
};

} // namespace

class TestSqlText : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::shared_ptr<Database> m_db;
    std::shared_ptr<DataContext> m_context;

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_context = Application::Initialise(std::make_shared<Definition>(), QStringLiteral("test"), nullptr);
        m_db = Database::create();
        m_db->Create(kDatabaseFormat, m_dir->databasePath());
        m_db->Open(kDatabaseFormat, m_dir->databasePath());
        m_context->Attach(m_db);
        auto ds = m_context->Tables().Item("Voci").OpenDataSource();
        for (const char *name : {"a", "b", "c"})
            QVERIFY(ds->AddRow({"Nome", name}));
    }

    void cleanup()
    {
        m_context.reset();
        m_db.reset();
        m_dir.reset();
    }

    // A candidate list's restriction with an order that cannot be read is refused whole: the
    // filter that came with it does not narrow the rows afterwards.
    void aRefusedSelectionLeavesTheRows()
    {
        auto ds = m_context->Tables().Item("Voci").OpenDataSource();
        QVERIFY_THROWS_EXCEPTION(Error, ds->SetSelection("Nome = 'a'", "Nome,,"));
        QCOMPARE(ds->RecordCount(), 3);
        QVERIFY(ds->MoveFirst());
        QCOMPARE(ds->GetField("Nome").toString(), QStringLiteral("a"));
        QVERIFY_THROWS_EXCEPTION(Error, ds->SetSelection("Nome = ", "Nome DESC"));
        QCOMPARE(ds->Sort(), QStringLiteral("Nome"));
        ds->SetSelection("Nome <> 'b'", "Nome DESC");
        QCOMPARE(ds->RecordCount(), 2);
        QVERIFY(ds->MoveFirst());
        QCOMPARE(ds->GetField("Nome").toString(), QStringLiteral("c"));
    }

    // Quoting is the one way a name enters SQL text, and it takes plain identifiers only: a name
    // carrying a quote (or anything else) can never close the quotes and run as SQL.
    void onlyPlainIdentifiersAreQuoted()
    {
        const SqlDialect &dialect = TestSupport::archiveDialect();
        QCOMPARE(dialect.quoteIdentifier("OID_Movimenti"), QStringLiteral("\"OID_Movimenti\""));
        for (const char *name : {"Nome\"; DROP TABLE Voci; --", "Nome Cognome", "1Nome", "", "Città"})
            QVERIFY_THROWS_EXCEPTION(Error, dialect.quoteIdentifier(QString::fromUtf8(name)));
    }
};

COBRELLE_TEST_MAIN(TestSqlText)
#include "tst_sqltext.moc"
