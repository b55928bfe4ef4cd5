#include "services/configuration.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "testsupport.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_Configuration : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_store;

    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"),
                         QStringLiteral("Cobrelle"));
    }

private slots:
    void initTestCase()
    {
        // A private store, so that test programs running side by side do not meet.
        QVERIFY(m_store.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.path());
    }

    void init()
    {
        QSettings s = store();
        s.clear();
    }

    void textToBool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("no with blanks") << QStringLiteral("  no ") << false;
        QTest::newRow("Falso") << QStringLiteral("Falso") << false;
        QTest::newRow("FALSE") << QStringLiteral("FALSE") << false;
        QTest::newRow("False") << QStringLiteral("False") << false;
        QTest::newRow("zero") << QStringLiteral("0") << false;
        QTest::newRow("True") << QStringLiteral("True") << true;
        QTest::newRow("Vero") << QStringLiteral("Vero") << true;
        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("nope") << QStringLiteral("nope") << true;
        QTest::newRow("00") << QStringLiteral("00") << true;
    }

    void textToBool()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(TextToBool(text), expected);
    }

    void textToBoolOfNonTextValues()
    {
        QCOMPARE(TextToBool(QVariant(false)), false);
        QCOMPARE(TextToBool(QVariant(0)), false);
        QCOMPARE(TextToBool(QVariant()), true);
    }

    void buildFilePath_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain join") << "/dati" << "Cobrelle.mdb" << "" << "/dati/Cobrelle.mdb";
        QTest::newRow("slash ending, extension replaced") << "/dati/" << "Cobrelle.old" << "mdb"
                                                          << "/dati/Cobrelle.mdb";
        QTest::newRow("backslash ending") << "C:\\Dati\\" << "Cobrelle.old" << "mdb" << "C:\\Dati\\Cobrelle.mdb";
        QTest::newRow("no directory") << "" << "Report" << "htm" << "Report.htm";
        QTest::newRow("cut at first dot") << "" << "a.b.c" << "x" << "a.x";
        QTest::newRow("leading dot") << "" << ".hidden" << "ext" << ".ext";
        QTest::newRow("dots kept without extension") << "d" << "a.b.c" << "" << "d/a.b.c";
        QTest::newRow("all empty") << "" << "" << "" << "";
    }

    void buildFilePath()
    {
        QFETCH(QString, directory);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(QString, expected);
        QCOMPARE(BuildFilePath(directory, name, extension), expected);
    }

    void firstStartGivesDefaultsAndWritesNothing()
    {
        modGlobal::RootDir = QStringLiteral("/elsewhere");
        ReadConfiguration();
        QCOMPARE(modGlobal::RootDir, QCoreApplication::applicationDirPath());

        QCOMPARE(Settings::readNumber(QStringLiteral("MainLeft"), 1000), 1000.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainTop"), 1000), 1000.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainWidth"), 6500), 6500.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainHeight"), 6500), 6500.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainState"), 0), 0.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainSplit"), 3500), 3500.0);

        QSettings s = store();
        QVERIFY(s.allKeys().isEmpty());
    }

    void writeReadRoundTrip()
    {
        modGlobal::RootDir = QStringLiteral("/srv/cassa, dati");
        WriteConfiguration();
        modGlobal::RootDir.clear();
        ReadConfiguration();
        QCOMPARE(modGlobal::RootDir, QStringLiteral("/srv/cassa, dati"));
    }

    void numbersAreWrittenShortInTheLocale()
    {
        Settings::writeNumber(QStringLiteral("MainWidth"), 6500);
        Settings::writeNumber(QStringLiteral("MainSplit"), 1234.5);
        QCOMPARE(Settings::readText(QStringLiteral("Settings"), QStringLiteral("MainWidth")),
                 QStringLiteral("6500"));
        QCOMPARE(Settings::readText(QStringLiteral("Settings"), QStringLiteral("MainSplit")),
                 QStringLiteral("1234,5"));
        QCOMPARE(Settings::readNumber(QStringLiteral("MainWidth"), 1), 6500.0);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainSplit"), 1), 1234.5);
    }

    void nonNumericPlacementFallsBackToDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("word") << QStringLiteral("sinistra");
        QTest::newRow("empty") << QString();
        QTest::newRow("number and word") << QStringLiteral("12abc");
        QTest::newRow("not finite") << QStringLiteral("inf");
    }

    void nonNumericPlacementFallsBackToDefault()
    {
        QFETCH(QString, stored);
        Settings::writeText(QStringLiteral("Settings"), QStringLiteral("MainLeft"), stored);
        QCOMPARE(Settings::readNumber(QStringLiteral("MainLeft"), 1000), 1000.0);
    }

    void programFolderIsTheWritableExecutableFolder()
    {
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
    }

    void twipsFollowTheScreenResolution()
    {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(Twips::toPixelsX(1440), qRound(dpi));
        QCOMPARE(Twips::toPixelsX(2880), qRound(2 * dpi));
        QCOMPARE(Twips::fromPixelsX(Twips::toPixelsX(1440)), 1440.0 * qRound(dpi) / dpi);
    }
};

COBRELLE_TEST_MAIN(tst_Configuration)
#include "tst_configuration.moc"
