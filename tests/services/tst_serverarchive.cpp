// The desk's choice of a server archive in the settings store, and the client library's password
// file that remembers its password.
#include "services/archivechoice.h"
#include "services/passwordfile.h"
#include "serverfixture.h"
#include "testsupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QtTest>

namespace {

const objdb::ServerAddress kCassa{QStringLiteral("db.negozio"), 5432, QStringLiteral("cassa"), QStringLiteral("cassiere")};

} // namespace

class tst_ServerArchive : public QObject {
    Q_OBJECT

private slots:
    void choiceRoundTrips()
    {
        QCOMPARE(ReadArchiveChoice(), ArchiveChoice()); // a desk that never chose keeps a file
        const ArchiveChoice server{ArchiveKind::Server, {kCassa.host, 6543, kCassa.database, kCassa.user}};
        WriteArchiveChoice(server);
        QCOMPARE(ReadArchiveChoice(), server);
    }

    void addressProblems_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("problem");
        const QString badPort = QStringLiteral("La porta del server deve essere un numero da 1 a 65535.");
        QTest::newRow("sound") << "db.negozio" << " 65535 " << "cassa" << "";
        QTest::newRow("blank host") << "  " << "5432" << "cassa" << "Indicare il nome o l'indirizzo del server.";
        QTest::newRow("port 0") << "db" << "0" << "cassa" << badPort;
        QTest::newRow("port 65536") << "db" << "65536" << "cassa" << badPort;
        QTest::newRow("port text") << "db" << "54x" << "cassa" << badPort;
        QTest::newRow("no database") << "db" << "5432" << " " << "Indicare il nome del database sul server.";
        QTest::newRow("database path") << "db" << "1" << "a/b" << "Il nome del database non può contenere il carattere '/'.";
    }
    void addressProblems()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, database);
        QFETCH(QString, problem);
        QCOMPARE(ServerAddressProblem(host, port, database), problem);
    }

    // The account's line is replaced where it is, or put first (the library takes the first line
    // that matches), escaped; every other line stays; the file becomes its owner's alone.
    void rememberKeepsOtherLines_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("no file") << "nuova" << "" << "db.negozio:5432:cassa:cassiere:nuova\n";
        QTest::newRow("escaped") << "a:b\\c" << "" << "db.negozio:5432:cassa:cassiere:a\\:b\\\\c\n";
        QTest::newRow("replaced in place") << "nuova" << "# conti\ndb.negozio:5432:cassa:cassiere:vecchia\n*:*:*:*:x\n"
                                           << "# conti\ndb.negozio:5432:cassa:cassiere:nuova\n*:*:*:*:x\n";
        QTest::newRow("before wildcards") << "nuova" << "*:*:*:*:x\ndb.negozio:5433:cassa:cassiere:y\n"
                                          << "db.negozio:5432:cassa:cassiere:nuova\n*:*:*:*:x\ndb.negozio:5433:cassa:cassiere:y\n";
    }
    void rememberKeepsOtherLines()
    {
        QFETCH(QString, password);
        QFETCH(QString, before);
        QFETCH(QString, after);
        TestSupport::PrivatePasswordFile file;
        if (!before.isEmpty()) {
            file.write(before.toUtf8());
            QVERIFY(QFile::setPermissions(file.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        }
        QString error;
        QVERIFY2(PasswordFile::remember(kCassa, password, &error), qPrintable(error));
        QCOMPARE(QString::fromUtf8(file.read()), after);
        QCOMPARE(QFileInfo(file.path()).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        // Forgotten, only the account's own line goes.
        QVERIFY(PasswordFile::forget(kCassa, &error));
        QCOMPARE(QString::fromUtf8(file.read()), QString(after).remove(PasswordFile::line(kCassa, password) + QLatin1Char('\n')));
    }

    void holdsMatchesAsTheLibrary_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("holds");
        QTest::newRow("exact") << "db.negozio:5432:cassa:cassiere:x" << true;
        QTest::newRow("wildcards") << "*:5432:*:cassiere:x" << true;
        QTest::newRow("other port") << "db.negozio:5433:cassa:cassiere:x" << false;
        QTest::newRow("no password field") << "db.negozio:5432:cassa:cassiere" << false;
    }
    void holdsMatchesAsTheLibrary()
    {
        QFETCH(QString, line);
        QFETCH(bool, holds);
        TestSupport::PrivatePasswordFile file;
        file.write(line.toUtf8() + '\n');
        QCOMPARE(PasswordFile::holds(kCassa), holds);
    }
};

COBRELLE_TEST_MAIN(tst_ServerArchive)
#include "tst_serverarchive.moc"
