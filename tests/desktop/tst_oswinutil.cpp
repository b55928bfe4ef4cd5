#include "desktop/helpguide.h"
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

    void helpOpensTheGuideInTheBrowser_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("contents") << QString() << QString();
        QTest::newRow("index of topics") << QStringLiteral("indice") << QStringLiteral("indice");
    }
    void helpOpensTheGuideInTheBrowser()
    {
        QFETCH(QString, section);
        QFETCH(QString, fragment);
        TestSupport::ScriptedMessages messages;
        QVERIFY(HelpGuide::Open(nullptr, section));
        QVERIFY(messages.seen().isEmpty());
        QCOMPARE(m_opened.size(), 1);
        const QUrl url = m_opened.first();
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.fragment(), fragment);
        QFile guide(url.toLocalFile());
        QVERIFY(guide.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(guide.readAll());
        QVERIFY(text.contains(QStringLiteral("<html lang=\"it\">")));
        if (!fragment.isEmpty())
            QVERIFY(text.contains(QStringLiteral("id=\"") + fragment + QLatin1Char('"')));

        // A browser that cannot be started is told.
        m_openerResult = false;
        QVERIFY(!HelpGuide::Open(nullptr, section));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Impossibile aprire la guida nel browser.")});
    }
};

COBRELLE_TEST_MAIN(TestOSWinUtil)
#include "tst_oswinutil.moc"
