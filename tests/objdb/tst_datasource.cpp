// The library's data sources: the events raised on writes, refusals and failures that undo the
// operation, parent rows written together with their children, opening archives safely.

#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cstdio>

using namespace objdb;

namespace {

// A parent table "Conti" (Saldo) and a child "Righe" (Valore) whose rules keep Saldo as the sum.
class Conti : public itfDefTable, public itfSetData {
public:
    QString TableName() const override { return QStringLiteral("Conti"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Nome"), TypeText, 10);
        c.AddColumn(QStringLiteral("Saldo"), TypeAmount, 0);
        i.AddIndex(QStringLiteral("Nome"), true);
    }
    void DefineDefaultData(itfSetData *&sink) override { sink = this; }
    void OnNewRow(DataSource &ds) override { ds.SetField(QStringLiteral("Saldo"), QVariant::fromValue(Amount())); }
};

class Righe : public itfDefTable, public itfSetData {
public:
    QString TableName() const override { return QStringLiteral("Righe"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Valore"), TypeAmount, 0);
        c.AddColumn(QStringLiteral("Nota"), TypeText, 20);
    }
    void DefineIdentity(Identity &identity) override { identity.ParentTable = QStringLiteral("Conti"); }
    void DefineDefaultData(itfSetData *&sink) override { sink = this; }
    void OnNewRow(DataSource &ds) override { ds.SetField(QStringLiteral("Valore"), QVariant::fromValue(Amount())); }
    void OnBeforeUpdateField(DataSource &ds, const QString &column) override
    {
        log.append(QStringLiteral("before %1 %2").arg(column, ds.GetField(column).value<Amount>().toString(0)));
        if (column == QLatin1String("Valore"))
            ds.SetField(QStringLiteral("Saldo"), subtractAmounts(ds.GetField(QStringLiteral("Saldo")), ds.GetField(column)));
    }
    void OnUpdateField(DataSource &ds, const QString &column) override
    {
        log.append(QStringLiteral("after %1 %2").arg(column, ds.GetField(column).value<Amount>().toString(0)));
        if (column != QLatin1String("Valore"))
            return;
        previous = ds.GetPreviousField(column);
        ds.SetField(QStringLiteral("Saldo"), addAmounts(ds.GetField(QStringLiteral("Saldo")), ds.GetField(column)));
        if (refuseAbove && ds.GetField(column).value<Amount>() > *refuseAbove)
            ds.CancelOperation(QStringLiteral("Valore troppo alto"));
        if (throwOnNote.isEmpty() == false && ds.GetField(QStringLiteral("Nota")).toString() == throwOnNote)
            throw Error(QStringLiteral("Errore nella regola"));
    }
    void OnDeleteRow(DataSource &ds) override
    {
        ds.SetField(QStringLiteral("Saldo"), subtractAmounts(ds.GetField(QStringLiteral("Saldo")), ds.GetField(QStringLiteral("Valore"))));
        ds.SaveRow();
        if (ds.GetField(QStringLiteral("Nota")).toString() == QLatin1String("fissa"))
            ds.CancelOperation(QStringLiteral("Riga fissa"));
    }

    QStringList log;
    QVariant previous; // Valore before the write in hand, as OnUpdateField saw it
    std::optional<Amount> refuseAbove;
    QString throwOnNote;
};

class Definition : public itfDefDatabase {
public:
    std::shared_ptr<Conti> conti = std::make_shared<Conti>();
    std::shared_ptr<Righe> righe = std::make_shared<Righe>();
    void Define(DatabaseDefinition &d) override
    {
        d.AddTable(conti);
        d.AddTable(righe);
    }
};

QVariant money(int whole)
{
    return QVariant::fromValue(Amount::fromInteger(whole));
}

} // namespace

class TestDataSource : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::shared_ptr<Definition> m_definition;
    TestSupport::RecordingSink m_sink;
    std::shared_ptr<Database> m_db;
    std::shared_ptr<DataContext> m_context;

    std::shared_ptr<DataSource> open(const char *table) { return m_context->Tables().Item(QString::fromLatin1(table)).OpenDataSource(); }

    qint64 account()
    {
        auto ds = open("Conti");
        [&] { QVERIFY(ds->AddRow({"Nome", "cassa"})); }();
        return ds->Bookmark();
    }

    Amount balance(qint64 oid)
    {
        auto ds = open("Conti");
        [&] { QVERIFY(ds->FindOID(oid)); }();
        return ds->GetField("Saldo").value<Amount>();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_definition = std::make_shared<Definition>();
        m_sink = {};
        m_context = Application::Initialise(m_definition, QStringLiteral("test"), &m_sink);
        m_db = Database::create();
        m_db->Create(kDatabaseFormat, m_dir->databasePath());
        m_db->Open(kDatabaseFormat, m_dir->databasePath());
        m_context->Attach(m_db);
        QCOMPARE(m_context->State(), 5);
    }

    void cleanup()
    {
        m_context.reset();
        m_db.reset();
        m_dir.reset();
    }

    void beforeSeesOldValuesAfterSeesNewOnes()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(10)}));
        m_definition->righe->log.clear();
        QVERIFY(rows->SetField("Valore", money(25)));
        QCOMPARE(m_definition->righe->log, (QStringList{"before Valore 10", "after Valore 25"}));
        QCOMPARE(m_definition->righe->previous.value<Amount>(), Amount::fromInteger(10));
        QCOMPARE(rows->GetPreviousField("Valore").value<Amount>(), Amount::fromInteger(25));
        rows->SaveRow();
        QCOMPARE(balance(acc), Amount::fromInteger(25));
    }

    void handlerWritesRaiseNoEvents()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        m_definition->righe->log.clear();
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(5)}));
        // The program's own writes (parent link, Valore) raised their pairs; the handler's write of
        // Saldo raised nothing.
        QCOMPARE(m_definition->righe->log.filter("Saldo").size(), 0);
        QCOMPARE(m_definition->righe->log.filter("Valore").size(), 2);
        QCOMPARE(m_definition->righe->log.size(), 4);
    }

    void refusalRestoresRowAndParent()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(10)}));
        m_definition->righe->refuseAbove = Amount::fromInteger(100);
        QVERIFY(!rows->SetField("Valore", money(500)));
        QCOMPARE(m_sink.messages.last(), QStringLiteral("Valore troppo alto"));
        QCOMPARE(rows->GetField("Valore").value<Amount>(), Amount::fromInteger(10));
        QCOMPARE(rows->GetField("Saldo").value<Amount>(), Amount::fromInteger(10));
        QVERIFY(!rows->isDirty());
        QCOMPARE(balance(acc), Amount::fromInteger(10));
        // A refused new row leaves nothing behind.
        QVERIFY(!rows->AddRow({"OID_Conti", acc, "Valore", money(900)}));
        QCOMPARE(open("Righe")->RecordCount(), 1);
        QCOMPARE(balance(acc), Amount::fromInteger(10));
    }

    void throwingHandlerIsARefusal()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(10), "Nota", "rompi"}));
        m_definition->righe->throwOnNote = QStringLiteral("rompi");
        QVERIFY(!rows->SetField("Valore", money(20)));
        QCOMPARE(m_sink.messages.last(), QStringLiteral("Errore nella regola"));
        QCOMPARE(rows->GetField("Saldo").value<Amount>(), Amount::fromInteger(10));
    }

    // Two programs on one archive. A save applies the rules' change of the parent's amount to the
    // amount stored when it saves, and the rules see the amount that moved; a column changed on both
    // sides is refused, and the refused edit stays until it is abandoned.
    void aSaveAppliesTheRulesChangesToWhatIsStoredNow()
    {
        const qint64 acc = account();
        auto otherContext = Application::Initialise(std::make_shared<Definition>(), "test", &m_sink);
        auto otherDb = Database::create();
        otherDb->Open(kDatabaseFormat, m_dir->databasePath());
        otherContext->Attach(otherDb);
        auto otherRows = otherContext->Tables().Item("Righe").OpenDataSource();

        auto rows = open("Righe");
        QVERIFY(rows->AddNew());
        QVERIFY(rows->SetField("OID_Conti", acc));
        QVERIFY(rows->SetField("Valore", money(30)));
        QVERIFY(otherRows->AddRow({"OID_Conti", acc, "Valore", money(50)}));
        m_definition->righe->log.clear();
        rows->SaveRow();
        QCOMPARE(balance(acc), Amount::fromInteger(80));
        QCOMPARE(m_definition->righe->log, (QStringList{"before Saldo 30", "after Saldo 80"}));

        QVERIFY(rows->SetField("Valore", money(35)));
        QVERIFY(otherRows->FindOID(rows->Bookmark()));
        QVERIFY(otherRows->SetField("Valore", money(40)));
        otherRows->SaveRow();
        QCOMPARE(balance(acc), Amount::fromInteger(90));
        QVERIFY_THROWS_EXCEPTION(Error, rows->SaveRow());
        QCOMPARE(balance(acc), Amount::fromInteger(90));
        QCOMPARE(rows->GetField("Valore").value<Amount>(), Amount::fromInteger(35));
        QVERIFY(rows->isDirty());
        rows->CancelEdit();
        QCOMPARE(rows->GetField("Valore").value<Amount>(), Amount::fromInteger(40));
    }

    void withoutParentParentColumnsAreNull()
    {
        auto rows = open("Righe");
        QVERIFY(rows->AddNew());
        QVERIFY(rows->GetField("Saldo").isNull());
        QVERIFY(rows->SetField("Saldo", money(3)));
        QVERIFY(rows->GetField("Saldo").isNull());
        QVERIFY(rows->SetField("Valore", money(3)));
        rows->SaveRow();
        QCOMPARE(open("Righe")->RecordCount(), 1);
    }

    void deletionRefusedAfterHandlerSavedParentUndoesAll()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(10), "Nota", "fissa"}));
        const qint64 fixed = rows->Bookmark();
        QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(5)}));
        const qint64 loose = rows->Bookmark();
        QCOMPARE(balance(acc), Amount::fromInteger(15));
        QCOMPARE(rows->DeleteRows({fixed, loose}), 1);
        QCOMPARE(m_sink.messages.last(), QStringLiteral("Riga fissa"));
        QCOMPARE(balance(acc), Amount::fromInteger(10));
        QCOMPARE(open("Righe")->keys(), QList<qint64>{fixed});
        // The parent still holds a child, which goes with it.
        auto accounts = open("Conti");
        QVERIFY(accounts->FindOID(acc));
        QVERIFY(!accounts->DeleteCurrentRow());
    }

    // A row that fails (not a refusal: the archive itself says no) undoes the rows deleted before it
    // and their parents' changes; the view is read again, so it holds no key of a row it lost.
    void failedBulkDeletionIsUndoneWholeAndRefreshed()
    {
        const qint64 acc = account();
        auto rows = open("Righe");
        QList<qint64> oids;
        for (const char *note : {"prima", "guasta", "terza"}) {
            QVERIFY(rows->AddRow({"OID_Conti", acc, "Valore", money(5), "Nota", note}));
            oids.append(rows->Bookmark());
        }
        auto fault = std::make_unique<TestSupport::DeleteFault>(*m_db, "Righe", "Nota", "guasta");
        auto view = open("Righe");
        QCOMPARE(view->keys(), oids);
        QSignalSpy refreshed(view.get(), &DataSource::OnRefreshRecordset);
        QVERIFY_THROWS_EXCEPTION(Error, view->DeleteRows(oids));
        QCOMPARE(open("Righe")->keys(), oids);
        QCOMPARE(balance(acc), Amount::fromInteger(15));
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(view->keys(), oids);

        // Without the failing row the same call deletes the rest and refreshes.
        fault.reset();
        QCOMPARE(view->DeleteRows({oids.first(), oids.last()}), 2);
        QCOMPARE(refreshed.count(), 2);
        QCOMPARE(view->keys(), QList<qint64>{oids.at(1)});
        QCOMPARE(balance(acc), Amount::fromInteger(5));
    }

    void uniqueRefusalLeavesNoHalfRow()
    {
        account();
        auto accounts = open("Conti");
        QVERIFY_THROWS_EXCEPTION(Error, accounts->AddRow({"Nome", "cassa"}));
        QCOMPARE(open("Conti")->RecordCount(), 1);
    }

    void sortFilterAndNavigation()
    {
        auto accounts = open("Conti");
        for (const char *name : {"b", "c", "a"})
            QVERIFY(accounts->AddRow({"Nome", name}));
        auto ds = open("Conti");
        QStringList names;
        for (bool ok = ds->MoveFirst(); ok; ok = ds->MoveNext())
            names.append(ds->GetField("Nome").toString());
        QCOMPARE(names, (QStringList{"a", "b", "c"}));
        QVERIFY(ds->AtEOF());
        ds->SetSort("Nome DESC");
        QVERIFY(ds->MoveFirst());
        QCOMPARE(ds->GetField("Nome").toString(), QStringLiteral("c"));
        QSignalSpy refreshed(ds.get(), &DataSource::OnRefreshRecordset);
        ds->SetFilter("Nome <> 'b'");
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(ds->RecordCount(), 2);
        QVERIFY_THROWS_EXCEPTION(Error, ds->SetFilter("Nome = "));
        QCOMPARE(ds->Filter(), QStringLiteral("Nome <> 'b'"));
        QVERIFY(ds->Find("Nome Like 'A*'", false));
        QCOMPARE(ds->GetField("Nome").toString(), QStringLiteral("a"));
    }

    void detachedAfterClose()
    {
        auto accounts = open("Conti");
        m_db->Close();
        QVERIFY_THROWS_EXCEPTION(Error, accounts->IsEmpty());
        QCOMPARE(m_context->State(), 0);
    }

    void openingRefusesForeignReadOnlyAndLockedFiles()
    {
        COBRELLE_FILE_ONLY("foreign, read-only and locked files");
        const QString foreign = m_dir->path() + "/foreign.mdb";
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not an archive at all, just some text\n");
        f.close();
        auto other = Database::create();
        QVERIFY_THROWS_EXCEPTION(Error, other->Open(kDatabaseFormat, foreign));
        QFile check(foreign);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("this is not an archive at all, just some text\n"));

        // A plain SQLite file of some other program.
        const QString sqlite = m_dir->path() + "/other.db";
        {
            auto raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(sqlite);
            QVERIFY(raw.open());
            QSqlQuery(raw).exec("CREATE TABLE t (x)");
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        QVERIFY_THROWS_EXCEPTION(Error, other->Open(kDatabaseFormat, sqlite));

        m_db->Close();
        QFile::setPermissions(m_dir->databasePath(), QFile::ReadOwner);
        if (QFileInfo(m_dir->databasePath()).isWritable())
            QSKIP("running with privileges that ignore read-only files");
        QVERIFY_THROWS_EXCEPTION(Error, other->Open(kDatabaseFormat, m_dir->databasePath()));
    }

    void lockedArchiveIsRefused()
    {
        COBRELLE_FILE_ONLY("a SQLite lock");
        auto holder = QSqlDatabase::addDatabase("QSQLITE", "holder");
        holder.setDatabaseName(m_dir->databasePath());
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        auto other = Database::create();
        try {
            other->Open(kDatabaseFormat, m_dir->databasePath(), nullptr, 0);
            QFAIL("a locked archive was opened");
        } catch (const Error &e) {
            QVERIFY(e.description().contains("bloccato") || e.description().contains("valido"));
        }
        lock.exec("ROLLBACK");
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase("holder");
    }

    // Each failure of the engine that a save can meet is told in Italian with what to do, under the
    // number of its cause; nothing is stored and the edit stays, to be saved again. A save takes
    // the write lock before anything else, so another program holding it past the busy timeout is
    // one of them.
    void aFailedSaveSaysWhyAndKeepsTheEdit_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        QTest::newRow("locked") << "locked" << kErrLocked << "occupato da un altro terminale";
        QTest::newRow("disk full") << "full" << kErrDiskFull << "disco è pieno: liberare spazio";
        QTest::newRow("read-only") << "readonly" << kErrReadOnly << "non può essere scritto";
        QTest::newRow("replaced") << "replaced" << kErrReplaced << "chiudere e riaprire il programma";
    }

    void aFailedSaveSaysWhyAndKeepsTheEdit()
    {
        COBRELLE_FILE_ONLY("faults of a SQLite file");
        QFETCH(QString, cause);
        QFETCH(int, code);
        QFETCH(QString, told);
        m_context.reset();
        m_db.reset();
        auto context = Application::Initialise(std::make_shared<Definition>(), "test", &m_sink);
        auto db = Database::create();
        db->Open(kDatabaseFormat, m_dir->databasePath(), nullptr, 0, cause == "readonly");
        context->Attach(db);
        auto accounts = context->Tables().Item("Conti").OpenDataSource();
        QVERIFY(accounts->AddNew());
        QVERIFY(accounts->SetField("Nome", "banca"));

        auto other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(m_dir->databasePath());
        QVERIFY(other.open());
        QSqlQuery raw(other);
        if (cause == "locked") {
            QVERIFY(raw.exec("BEGIN IMMEDIATE"));
        } else if (cause == "full") {
            // The engine's page limit behaves as a full disk does: rows the size of the edited one
            // fill the archive's last pages, so that it needs a page more.
            QSqlQuery own(db->sql());
            QVERIFY(own.exec("PRAGMA page_count") && own.next());
            QVERIFY(own.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(own.value(0).toLongLong())));
            for (int n = 0; own.exec(QStringLiteral("INSERT INTO Conti (Nome, Saldo) VALUES ('%1', 0)")
                                         .arg(n, 5, 10, QLatin1Char('0')));
                 ++n) {
            }
            QCOMPARE(own.lastError().nativeErrorCode().toInt() & 0xff, 13); // SQLITE_FULL
        } else if (cause == "replaced") {
            // A repair elsewhere puts a new file in the archive's place.
            const QString copy = m_dir->path() + "/copy.mdb";
            QVERIFY(QFile::copy(m_dir->databasePath(), copy));
            QVERIFY(std::rename(qPrintable(copy), qPrintable(m_dir->databasePath())) == 0);
        }
        try {
            accounts->SaveRow();
            QFAIL("the save went through");
        } catch (const Error &e) {
            QCOMPARE(e.code(), code);
            QVERIFY(!e.written());
            QVERIFY2(e.description().startsWith("Salvataggio non riuscito in Conti: ")
                         || e.description().startsWith("Operazione sull'archivio non riuscita: "),
                     qPrintable(e.description()));
            QVERIFY2(e.description().contains(told), qPrintable(e.description()));
            QVERIFY2(!e.description().contains("database"), qPrintable(e.description()));
        }
        QCOMPARE(accounts->GetField("Nome").toString(), QStringLiteral("banca"));
        if (cause == "locked") {
            QVERIFY(raw.exec("ROLLBACK"));
            accounts->SaveRow();
            QVERIFY(raw.exec("SELECT COUNT(*) FROM Conti WHERE Nome = 'banca'") && raw.next());
            QCOMPARE(raw.value(0).toInt(), 1);
        }
        raw.finish();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
    }

    // A step after the commit fails (here the sink told of the save): the failure says that the
    // row is stored, so that nobody reports the change as lost or saves it a second time.
    void aFailureAfterTheCommitSaysTheRowIsStored()
    {
        struct FailingSink : TestSupport::RecordingSink {
            void OnEvent(int action, QObject *, const QString &) override
            {
                if (action == ActionSave)
                    fail(QStringLiteral("barra di stato assente"), kErrEngine);
            }
        } sink;
        m_context.reset();
        auto context = Application::Initialise(std::make_shared<Definition>(), "test", &sink);
        context->Attach(m_db);
        auto accounts = context->Tables().Item("Conti").OpenDataSource();
        QVERIFY(accounts->AddNew());
        QVERIFY(accounts->SetField("Nome", "banca"));
        try {
            accounts->SaveRow();
            QFAIL("the failing step went unnoticed");
        } catch (const Error &e) {
            QVERIFY(e.written());
            QCOMPARE(e.code(), kErrEngine);
        }
        QCOMPARE(context->Tables().Item("Conti").OpenDataSource()->RecordCount(), 1);
    }

    void emptyFileBecomesANewArchive()
    {
        const QString empty = m_dir->path() + "/empty.mdb";
        QFile f(empty);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        auto db = Database::create();
        db->Open(kDatabaseFormat, empty);
        auto context = Application::Initialise(std::make_shared<Definition>(), "test", nullptr);
        context->Attach(db);
        QVERIFY(context->Tables().Item("Conti").OpenDataSource()->IsEmpty());
    }

    void transactionsRollBack()
    {
        {
            TransactionGuard guard(*m_db);
            account();
            QVERIFY_THROWS_EXCEPTION(Error, m_db->BeginTrans());
        }
        QVERIFY(open("Conti")->IsEmpty());
        m_db->BeginTrans();
        account();
        m_db->CommitTrans();
        QCOMPARE(open("Conti")->RecordCount(), 1);
    }
};

COBRELLE_TEST_MAIN(TestDataSource)
#include "tst_datasource.moc"
