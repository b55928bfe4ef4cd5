// Archive files that cannot be opened as they are: damaged, locked, a folder in the archive's
// place, a folder that cannot be written. Each is told in Italian for what it is, and the file is
// left as it was.

#include "objdbtestsupport.h"
#include "testschema.h"

#include "objdb/error.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}


} // namespace

class TestArchiveFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;

    // A real archive with enough rows to span many pages, closed.
    void makeArchive()
    {
        auto archive = TestSchema::openArchive(m_dir->databasePath());
        auto kinds = archive.context->Tables().Item(QStringLiteral("Causali")).OpenDataSource();
        archive.database->BeginTrans();
        for (int i = 0; i < 2000; ++i)
            kinds->AddRow({QStringLiteral("Codice"), QString::number(i), QStringLiteral("Descrizione"),
                           QStringLiteral("Causale numero %1, dal nome lungo").arg(i)});
        archive.database->CommitTrans();
    }

    // Runs SQL on the closed archive with a connection of its own.
    void alter(const QStringList &statements)
    {
        {
            auto raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("alter"));
            raw.setDatabaseName(m_dir->databasePath());
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            for (const QString &sql : statements)
                QVERIFY2(q.exec(sql), qPrintable(sql));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("alter"));
    }

private slots:
    void init() { m_dir = std::make_unique<TestSupport::TempWorkDir>(); }
    void cleanup() { m_dir.reset(); }

    // The first half of a valid archive is damaged, not locked; a locked archive is locked.
    void damagedIsToldApartFromLocked()
    {
        makeArchive();
        const QByteArray whole = contents(m_dir->databasePath());
        const QString truncated = m_dir->path() + QStringLiteral("/troncato.mdb");
        QFile half(truncated);
        QVERIFY(half.open(QIODevice::WriteOnly));
        half.write(whole.left(whole.size() / 2));
        half.close();

        const QString damaged = TestSupport::refusal([&] { Database::create()->Open(kDatabaseFormat, truncated, nullptr, 0); });
        QVERIFY2(damaged.contains(QStringLiteral("è danneggiato")) && !damaged.contains(QStringLiteral("bloccato")),
                 qPrintable(damaged));
        QCOMPARE(contents(truncated), whole.left(whole.size() / 2));

        auto holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        holder.setDatabaseName(m_dir->databasePath());
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const QString locked = TestSupport::refusal([&] { Database::create()->Open(kDatabaseFormat, m_dir->databasePath(), nullptr, 0); });
        QVERIFY2(locked.contains(QStringLiteral("bloccato da un altro programma")), qPrintable(locked));
        lock.exec(QStringLiteral("ROLLBACK"));
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }

    // An archive whose recorded structure has a column it lacks is damaged: refused, not repaired
    // with an empty column.
    void missingColumnOfTheCurrentStructureIsDamage()
    {
        makeArchive();
        alter({QStringLiteral("ALTER TABLE Conti DROP COLUMN Residuo")});
        const QByteArray before = contents(m_dir->databasePath());
        const QString message = TestSupport::refusal([&] { TestSchema::openArchive(m_dir->databasePath()); });
        QVERIFY2(message.contains(QStringLiteral("è danneggiato: nella tabella Conti manca la colonna Residuo")),
                 qPrintable(message));
        QCOMPARE(contents(m_dir->databasePath()), before);
    }

    // A table of an older structure gets the columns of the new one.
    void missingColumnOfAnOlderStructureIsAdded()
    {
        makeArchive();
        alter({QStringLiteral("ALTER TABLE Conti DROP COLUMN Residuo"),
               QStringLiteral("UPDATE objdb_tables SET version = 0.9 WHERE name = 'Conti'")});
        const auto archive = TestSchema::openArchive(m_dir->databasePath());
        QVERIFY(archive.context->Tables().Item(QStringLiteral("Conti")).OpenDataSource()->Field(QStringLiteral("Residuo")));
        QSqlQuery version = archive.database->exec(QStringLiteral("SELECT version FROM objdb_tables WHERE name = 'Conti'"));
        QVERIFY(version.next());
        QCOMPARE(version.value(0).toDouble(), 1.0);
    }

    void folderInPlaceOfTheArchive()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Cobrelle.mdb")));
        const QString opening = TestSupport::refusal([&] { Database::create()->Open(kDatabaseFormat, m_dir->databasePath()); });
        QCOMPARE(opening, m_dir->databasePath() + QStringLiteral(" è una cartella, non un archivio di dati."));
        const QString creating = TestSupport::refusal([&] { Database::create()->Create(kDatabaseFormat, m_dir->databasePath()); });
        QCOMPARE(creating, opening);
    }

    void folderThatCannotTakeTheArchive()
    {
        const QString missing = m_dir->path() + QStringLiteral("/manca");
        const QString noFolder = TestSupport::refusal([&] { Database::create()->Create(kDatabaseFormat, missing + QStringLiteral("/Cobrelle.mdb")); });
        QCOMPARE(noFolder, QStringLiteral("La cartella %1 non esiste: impossibile creare l'archivio.").arg(missing));

        const QString locked = m_dir->path() + QStringLiteral("/chiusa");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("chiusa")));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        const QString readOnly = TestSupport::refusal([&] { Database::create()->Create(kDatabaseFormat, locked + QStringLiteral("/Cobrelle.mdb")); });
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (readOnly == QLatin1String("<accepted>"))
            QSKIP("running with privileges that ignore read-only folders");
        QCOMPARE(readOnly, QStringLiteral("La cartella %1 è di sola lettura: impossibile creare l'archivio.").arg(locked));
    }
};

COBRELLE_TEST_MAIN(TestArchiveFiles)
#include "tst_archivefiles.moc"
