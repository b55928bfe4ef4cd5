// The session: the operator who logs in is named by the data context and by the desk's mark, and
// the session lets the archive go whole.
#include "services/deskmark.h"
#include "services/session.h"
#include "testsupport.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"

#include <QDir>
#include <QtTest>

class tst_Session : public QObject {
    Q_OBJECT

    // The text of this desk's only mark on the archive.
    static QString markOn(const QString &archivePath)
    {
        const QDir folder(archivePath + QStringLiteral(".desks"));
        const QStringList marks = folder.entryList(QDir::Files);
        if (marks.size() != 1)
            return QStringLiteral("%1 marks").arg(marks.size());
        QFile mark(folder.filePath(marks.first()));
        return mark.open(QIODevice::ReadOnly) ? QString::fromUtf8(mark.readAll()) : QString();
    }

private slots:
    void operatorAndRelease_data()
    {
        QTest::addColumn<QStringList>("logins"); // in order; the last one is the session's
        QTest::newRow("one operator") << QStringList{QStringLiteral("Verdi")};
        QTest::newRow("a change of operator") << QStringList{QStringLiteral("Verdi"), QStringLiteral("Rossi")};
    }
    void operatorAndRelease()
    {
        QFETCH(QStringList, logins);
        TestSupport::TempWorkDir folder;
        const TestSupport::Archive archive = TestSupport::openArchive(folder.databasePath());
        Session session;
        QVERIFY(!session.isReady());
        session.database = archive.database;
        session.dataContext = archive.context;
        session.deskMark = std::make_unique<DeskMark>(folder.databasePath(), QString());
        QVERIFY(session.isReady());

        for (const QString &name : logins)
            session.setOperator(name);
        QCOMPARE(session.operatorName, logins.last());
        QCOMPARE(archive.context->UserName, logins.last());
        QVERIFY(markOn(folder.databasePath()).startsWith(logins.last() + QLatin1Char('@')));

        session.close();
        QVERIFY(!session.isReady());
        QVERIFY(!session.database && !session.dataContext && !session.deskMark);
        QCOMPARE(markOn(folder.databasePath()), QStringLiteral("0 marks"));
        // The operator stays for the archive opened next.
        QCOMPARE(session.operatorName, logins.last());
    }
};

COBRELLE_TEST_MAIN(tst_Session)
#include "tst_session.moc"
