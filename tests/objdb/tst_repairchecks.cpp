// The repair's two checks at attach time: indexes rebuilt from the table when they were damaged or
// lost, and rows pointing at rows that are gone (a reference, a parent link) reported to the user.

#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

class Categorie : public itfDefTable {
public:
    QString TableName() const override { return QStringLiteral("Categorie"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Codice"), TypeText, 4);
        c.AddColumn(QStringLiteral("Descrizione"), TypeText, 20);
        i.AddIndex(QStringLiteral("Codice"), true);
    }
};

class Conti : public itfDefTable {
public:
    QString TableName() const override { return QStringLiteral("Conti"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Nome"), TypeText, 10);
        c.AddColumn(QStringLiteral("Citta"), TypeText, 10);
        i.AddIndex(QStringLiteral("Nome"), true);
        i.AddIndex(QStringLiteral("Citta"), false);
    }
};

// Rows of an account, each in a category.
class Righe : public itfDefTable {
public:
    QString TableName() const override { return QStringLiteral("Righe"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &, ReferenceCollection &r) override
    {
        c.AddColumn(QStringLiteral("Valore"), TypeAmount, 0);
        r.AddReference(QStringLiteral("Categoria"), QStringLiteral("Categorie"), QStringLiteral("Codice"),
                       QStringLiteral("Descrizione"));
    }
    void DefineIdentity(Identity &identity) override { identity.ParentTable = QStringLiteral("Conti"); }
};

class Definition : public itfDefDatabase {
public:
    void Define(DatabaseDefinition &d) override
    {
        d.AddTable(std::make_shared<Categorie>());
        d.AddTable(std::make_shared<Conti>());
        d.AddTable(std::make_shared<Righe>());
    }
};

} // namespace

class TestRepairChecks : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::RecordingSink m_sink;
    std::shared_ptr<Database> m_db;
    std::shared_ptr<DataContext> m_context;

    // Opens the archive again and attaches it as the repair does, with or without its two checks.
    void reopen(bool rebuildIndexes, bool checkReferences)
    {
        m_context.reset();
        m_db.reset();
        m_sink = {};
        m_context = Application::Initialise(std::make_shared<Definition>(), QStringLiteral("test"), &m_sink);
        m_db = Database::create();
        m_db->Open(kDatabaseFormat, m_dir->databasePath());
        m_context->Attach(m_db, true, rebuildIndexes, checkReferences);
    }

    // Statements run on the closed archive by another program, past the library's checks.
    void alterOutside(const QStringList &statements)
    {
        m_context.reset();
        m_db.reset();
        {
            auto raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
            raw.setDatabaseName(m_dir->databasePath());
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            for (const QString &statement : statements)
                QVERIFY2(q.exec(statement), qPrintable(statement + ": " + q.lastError().text()));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    }

    std::shared_ptr<DataSource> open(const QString &table) { return m_context->Tables().Item(table).OpenDataSource(); }

    qint64 addRow(const QString &table, const QVariantList &values)
    {
        auto ds = open(table);
        [&] { QVERIFY(ds->AddRow(values)); }();
        return ds->Bookmark();
    }

    QStringList checkReports() const
    {
        QStringList reports;
        for (const QString &message : m_sink.messages)
            if (message.startsWith(QStringLiteral("Verifica archivio")))
                reports.append(message);
        return reports;
    }

    QString integrity() const
    {
        QSqlQuery q = m_db->exec(QStringLiteral("PRAGMA integrity_check"));
        QStringList lines;
        while (q.next())
            lines.append(q.value(0).toString());
        return lines.join(QLatin1Char('\n'));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_db = Database::create();
        m_db->Create(kDatabaseFormat, m_dir->databasePath());
        reopen(false, false);
    }

    void cleanup()
    {
        m_context.reset();
        m_db.reset();
        m_dir.reset();
    }

    void anArchiveWhoseLinksHoldIsNotReported()
    {
        const qint64 category = addRow("Categorie", {"Codice", "A", "Descrizione", "Affitti"});
        const qint64 account = addRow("Conti", {"Nome", "cassa"});
        addRow("Righe", {"OID_Conti", account, "Categoria", category});
        addRow("Righe", {"OID_Conti", account}); // no category: Null is no broken link
        reopen(false, true);
        QCOMPARE(checkReports(), QStringList());
    }

    // Rows left pointing at deleted rows, as another program or a damaged file leaves them: each
    // table's count is reported in one message; nothing is changed.
    void referencesAndParentsThatAreGoneAreReported()
    {
        const qint64 rent = addRow("Categorie", {"Codice", "A", "Descrizione", "Affitti"});
        const qint64 food = addRow("Categorie", {"Codice", "V", "Descrizione", "Vitto"});
        const qint64 cash = addRow("Conti", {"Nome", "cassa"});
        const qint64 bank = addRow("Conti", {"Nome", "banca"});
        addRow("Righe", {"OID_Conti", cash, "Categoria", rent});
        addRow("Righe", {"OID_Conti", cash, "Categoria", rent});
        addRow("Righe", {"OID_Conti", bank, "Categoria", food});
        alterOutside({QStringLiteral("DELETE FROM Categorie WHERE OID = %1").arg(rent),
                      QStringLiteral("DELETE FROM Conti WHERE OID = %1").arg(bank)});

        reopen(false, true);
        QCOMPARE(checkReports(), QStringList{QStringLiteral("Verifica archivio:\n"
                                                            "Righe: 2 righe con riferimento Categoria non valido\n"
                                                            "Righe: 1 righe senza contenitore in Conti")});
        QCOMPARE(open("Righe")->RecordCount(), 3);
    }

    // Two indexes of a table whose pages were swapped (a damaged file): lookups through them miss
    // rows until the repair rebuilds them from the table.
    void damagedIndexesAreRebuilt()
    {
        for (int i = 0; i < 40; ++i)
            addRow("Conti", {"Nome", QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')), "Citta", QStringLiteral("c%1").arg(i % 7)});
        QSqlQuery pages = m_db->exec(QStringLiteral("SELECT name, rootpage FROM sqlite_master WHERE name IN "
                                                    "('Conti_Nome_idx', 'Conti_Citta_idx')"));
        QHash<QString, int> root;
        while (pages.next())
            root.insert(pages.value(0).toString(), pages.value(1).toInt());
        QCOMPARE(root.size(), 2);
        alterOutside({QStringLiteral("PRAGMA writable_schema = ON"),
                      QStringLiteral("UPDATE sqlite_master SET rootpage = %1 WHERE name = 'Conti_Nome_idx'").arg(root.value("Conti_Citta_idx")),
                      QStringLiteral("UPDATE sqlite_master SET rootpage = %1 WHERE name = 'Conti_Citta_idx'").arg(root.value("Conti_Nome_idx")),
                      QStringLiteral("PRAGMA writable_schema = OFF")});
        reopen(false, false);
        QVERIFY(integrity() != QLatin1String("ok"));

        reopen(true, false);
        QCOMPARE(integrity(), QStringLiteral("ok"));
        auto accounts = open("Conti");
        QVERIFY(accounts->FindFirst("Nome = 'n07'"));
        QCOMPARE(accounts->GetField("Citta").toString(), QStringLiteral("c0"));
        accounts->SetFilter("Citta = 'c3'");
        QCOMPARE(accounts->RecordCount(), 6);
    }

    // An index dropped outside the library is made again by the repair's attach, and keeps
    // refusing a repeated value.
    void aLostIndexIsMadeAgain()
    {
        addRow("Conti", {"Nome", "cassa"});
        alterOutside({QStringLiteral("DROP INDEX Conti_Nome_idx")});
        reopen(true, true);
        QVERIFY(m_db->exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'Conti_Nome_idx'")).next());
        auto accounts = open("Conti");
        QVERIFY_THROWS_EXCEPTION(Error, accounts->AddRow({"Nome", "cassa"}));
        QCOMPARE(accounts->RecordCount(), 1);
    }
};

COBRELLE_TEST_MAIN(TestRepairChecks)
#include "tst_repairchecks.moc"
