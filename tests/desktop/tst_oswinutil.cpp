#include "desktop/modOSWinUtil.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace modOSWinUtil;

class TestOSWinUtil : public QObject {
    Q_OBJECT

    QList<QUrl> m_opened;
    bool m_openerResult = true;

private slots:
    void init()
    {
        m_opened.clear();
        m_openerResult = true;
        setUrlOpener([this](const QUrl &url) {
            m_opened.append(url);
            return m_openerResult;
        });
    }
    void cleanup() { setUrlOpener({}); }

    void fileExistsOnFoldersFilesAndMissingPaths()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("dati.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QVERIFY(FileExists(dir.path()));
        QVERIFY(FileExists(dir.path(), Directory));
        QVERIFY(!FileExists(dir.path(), Archive));
        QVERIFY(FileExists(file.fileName()));
        QVERIFY(FileExists(file.fileName(), Archive | Directory));
        QVERIFY(!FileExists(file.fileName(), Directory));
        QVERIFY(!FileExists(dir.filePath(QStringLiteral("manca/niente.txt"))));
        QVERIFY(!FileExists(QStringLiteral("/nessun-disco-montato/cartella")));
        QVERIFY(!FileExists(QString()));
    }

    void fileExistsSeesReadOnlyAndHidden()
    {
        QTemporaryDir dir;
        const QString hiddenName = dir.filePath(QStringLiteral(".nascosto"));
        QFile hidden(hiddenName);
        QVERIFY(hidden.open(QIODevice::WriteOnly));
        hidden.close();
        QVERIFY(FileExists(hiddenName, Hidden));

        const QString plainName = dir.filePath(QStringLiteral("visibile"));
        QFile plain(plainName);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(!FileExists(plainName, Hidden));
        QVERIFY(!FileExists(plainName, ReadOnly));
    }

    void localDocumentsOpenAsFileUrls()
    {
        QTemporaryDir dir;
        QVERIFY(ShellOpenDocument(dir.filePath(QStringLiteral("Table Data.htm"))));
        QVERIFY(ShellOpenDocument(QStringLiteral("relativo.htm"), QStringLiteral("open"), QString(),
                                  dir.path()));
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[0], QUrl::fromLocalFile(dir.filePath(QStringLiteral("Table Data.htm"))));
        QVERIFY(m_opened[0].isLocalFile());
        QCOMPARE(m_opened[1].toLocalFile(), QDir(dir.path()).filePath(QStringLiteral("relativo.htm")));
    }

    void addressesKeepTheirScheme()
    {
        QVERIFY(ShellOpenDocument(QStringLiteral("mailto:info@example.com")));
        QVERIFY(ShellOpenDocument(QStringLiteral("http://example.com/pagina?a=1&b=2")));
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[0].scheme(), QStringLiteral("mailto"));
        QCOMPARE(m_opened[1].scheme(), QStringLiteral("http"));
        QCOMPARE(m_opened[1].query(), QStringLiteral("a=1&b=2"));
    }

    void shellCharactersStayPartOfTheName()
    {
        // A name that a command line would split or run is only ever a file name here.
        const QString tricky = QDir::temp().filePath(QStringLiteral("a; rm -rf x & \"b\".htm"));
        QVERIFY(ShellOpenDocument(tricky));
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened[0].toLocalFile(), tricky);
    }

    void unsupportedRequestsAreRefused()
    {
        QVERIFY(!ShellOpenDocument(QString()));
        QVERIFY(!ShellOpenDocument(QStringLiteral("x.htm"), QStringLiteral("print")));
        QVERIFY(!ShellOpenDocument(QStringLiteral("x.exe"), QStringLiteral("open"), QStringLiteral("/s")));
        QVERIFY(m_opened.isEmpty());
        m_openerResult = false;
        QVERIFY(!ShellOpenDocument(QStringLiteral("http://example.com")));
    }

    void helpTellsItIsUnavailable()
    {
        TestSupport::ScriptedMessages messages;
        QWidget mainWindow;
        mainWindow.setWindowTitle(QStringLiteral("Cobrelle - Cassa"));
        ShowHelpUnavailable(&mainWindow);
        QCOMPARE(messages.seen().size(), 1);
        const MessageService::Request &shown = messages.seen().first();
        QCOMPARE(shown.text, QStringLiteral("Unable to display Help Contents. There is no Help "
                                            "associated with this project."));
        QCOMPARE(shown.title, QStringLiteral("Cobrelle - Cassa"));
        QCOMPARE(shown.icon, MessageService::Icon::Information);
    }
};

COBRELLE_TEST_MAIN(TestOSWinUtil)
#include "tst_oswinutil.moc"
