// The about box and the notice: the version shown, the system-information program found or its
// absence told, settings-store values, the notice's answers and its print with and without a
// printer.

#include "desktop/frmAbout.h"
#include "desktop/frmInformative.h"
#include "desktop/modOSWinUtil.h"
#include "testsupport.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using MessageService::Answer;
using MessageService::Icon;

class TestAbout : public QObject {
    Q_OBJECT

    QStringList m_started;
    QList<QImage> m_printed;
    QByteArray m_path;

    static QSettings store() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Cobrelle", "Cobrelle"); }

    static QString executable(const QTemporaryDir &dir, const QString &name)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        TestSupport::initEnvironment();
        m_path = qgetenv("PATH");
    }
    void init()
    {
        m_started.clear();
        m_printed.clear();
        store().clear();
        frmAbout::setProgramStarter([this](const QString &program) {
            m_started.append(program);
            return true;
        });
    }
    void cleanup()
    {
        frmAbout::setProgramStarter({});
        frmInformative::setPrinting({});
        qputenv("PATH", m_path);
        store().clear();
    }

    void showsTheBuildsVersion()
    {
        QCOMPARE(frmAbout::VersionText(), QStringLiteral("Version 3.0.26"));
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Informazioni"));
        QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version 3.0.26"));
        QCOMPARE(about.findChild<QLabel *>("lblTitle")->text(), QStringLiteral("Cobrelle"));
    }

    // Only the support contacts the settings store holds are shown; with none, no contact part.
    void supportContacts_data()
    {
        QTest::addColumn<QStringList>("stored"); // key=value of section "Configuration"
        QTest::addColumn<QString>("caption");    // of the contacts button; "" = hidden
        QTest::addColumn<QString>("lines");      // the message of a click on it
        QTest::addColumn<QString>("site");       // the link opened; "" = no link shown
        QTest::newRow("none set") << QStringList{} << "" << "" << "";
        QTest::newRow("all set")
            << QStringList{"SupportName=Agenzia Rossi", "SupportAddress=Via Roma 3, Bari", "SupportPhone=080 111",
                           "SupportFax=080 112", "SupportWeb=https://rossi.it", "SupportEmail=aiuto@rossi.it"}
            << "Agenzia Rossi" << "Agenzia Rossi\nVia Roma 3, Bari\nTel. 080 111\nFax 080 112\nhttps://rossi.it\naiuto@rossi.it"
            << "https://rossi.it";
        QTest::newRow("only a telephone") << QStringList{"SupportPhone=080 111"} << "Assistenza" << "Tel. 080 111" << "";
        QTest::newRow("a site without scheme") << QStringList{"SupportWeb=www.rossi.it"} << "Assistenza" << "www.rossi.it"
                                               << "http://www.rossi.it";
    }
    void supportContacts()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, caption);
        QFETCH(QString, lines);
        QFETCH(QString, site);
        for (const QString &entry : stored)
            store().setValue("Configuration/" + entry.section('=', 0, 0), entry.section('=', 1));
        QList<QUrl> opened;
        modOSWinUtil::setUrlOpener([&](const QUrl &url) {
            opened.append(url);
            return true;
        });
        TestSupport::ScriptedMessages messages;
        frmAbout about;
        auto *contacts = about.findChild<QPushButton *>("imgMarvessa");
        auto *web = about.findChild<QLabel *>("lblWeb");
        QCOMPARE(!contacts->isHidden(), !caption.isEmpty());
        QCOMPARE(!about.findChild<QLabel *>("Label1")->isHidden(), !caption.isEmpty());
        QCOMPARE(!web->isHidden(), !site.isEmpty());
        if (!caption.isEmpty()) {
            QCOMPARE(contacts->text(), caption);
            QTest::mouseClick(contacts, Qt::LeftButton);
            QCOMPARE(messages.texts(), QStringList{lines});
        }
        if (!site.isEmpty()) {
            const QString link = web->text().section('"', 1, 1);
            emit web->linkActivated(link);
            QCOMPARE(opened, QList<QUrl>{QUrl(site)});
        }
        modOSWinUtil::setUrlOpener({});
    }

    void systemInformation_data()
    {
        QTest::addColumn<QString>("stored");    // the program named in the settings store
        QTest::addColumn<QString>("onPath");    // a program found on the search path
        QTest::addColumn<QString>("started");   // which of the two starts; "" = none
        QTest::newRow("none") << "" << "" << "";
        QTest::newRow("on the search path") << "" << "kinfocenter" << "onPath";
        QTest::newRow("named in the settings") << "sysinfo" << "hardinfo" << "stored";
        QTest::newRow("named but missing") << "missing" << "hardinfo" << "onPath";
    }
    void systemInformation()
    {
        QFETCH(QString, stored);
        QFETCH(QString, onPath);
        QFETCH(QString, started);
        QTemporaryDir pathDir, storedDir;
        qputenv("PATH", pathDir.path().toLocal8Bit());
        const QString pathProgram = onPath.isEmpty() ? QString() : executable(pathDir, onPath);
        QString storedProgram;
        if (stored == QLatin1String("missing"))
            storedProgram = storedDir.filePath("nessuno");
        else if (!stored.isEmpty())
            storedProgram = executable(storedDir, stored);
        if (!storedProgram.isEmpty())
            store().setValue("Tools/SysInfoPath", storedProgram);

        TestSupport::ScriptedMessages messages;
        frmAbout about;
        QTest::mouseClick(about.findChild<QPushButton *>("cmdSysInfo"), Qt::LeftButton);
        if (started.isEmpty()) {
            QVERIFY(m_started.isEmpty());
            QCOMPARE(messages.texts(), QStringList{"System Information Is Unavailable At This Time"});
        } else {
            QCOMPARE(m_started, QStringList{started == QLatin1String("stored") ? storedProgram : pathProgram});
            QVERIFY(messages.seen().isEmpty());
        }
    }

    void settingsStoreValues()
    {
        store().setValue("Tools/Testo", "abc");
        store().setValue("Tools/Numero", 0x1F);
        QString value;
        QVERIFY(frmAbout::GetKeyValue("Cobrelle", "Tools", "Testo", value));
        QCOMPARE(value, QStringLiteral("abc"));
        QVERIFY(frmAbout::GetKeyValue("Cobrelle", "Tools", "Numero", value));
        QCOMPARE(value, QStringLiteral("31"));
        value = "prima";
        QVERIFY(!frmAbout::GetKeyValue("Cobrelle", "Tools", "Manca", value));
        QCOMPARE(value, QStringLiteral("prima"));
    }

    void noticeAnswers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("accept") << "cmdOk" << true;
        QTest::newRow("refuse") << "cmdCancel" << false;
        QTest::newRow("escape") << "Esc" << false;
    }
    void noticeAnswers()
    {
        QFETCH(QString, how);
        QFETCH(bool, accepted);
        frmInformative notice;
        notice.show();
        if (how == QLatin1String("Esc"))
            QTest::keyClick(&notice, Qt::Key_Escape);
        else
            QTest::mouseClick(notice.findChild<QPushButton *>(how), Qt::LeftButton);
        QVERIFY(!notice.isVisible());
        QCOMPARE(notice.AcceptInformative(), accepted);
    }

    void noticeNamesTheCompanyAndTodaysLaw()
    {
        frmInformative notice(nullptr, "Agenzia Rossi");
        const QString privacy = notice.findChild<QLabel *>("lblInformation1")->text();
        QVERIFY(privacy.contains("Agenzia Rossi"));
        QVERIFY(privacy.contains("Regolamento (UE) 2016/679"));
        QVERIFY(privacy.contains("D.Lgs. 30 giugno 2003, n. 196"));
        QVERIFY(!privacy.contains("675/1996"));
        // Read only, as from the about box: no answers, Esc still closes it.
        notice.hideAnswerButtons();
        notice.show();
        QVERIFY(!notice.findChild<QPushButton *>("cmdOk")->isVisible());
        QVERIFY(!notice.findChild<QPushButton *>("cmdCancel")->isVisible());
        QTest::keyClick(&notice, Qt::Key_Escape);
        QVERIFY(!notice.isVisible());
    }

    void noticePrint_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("prints");
        QTest::newRow("no printer") << "" << int(Answer::Yes) << "Nessuna stampante definita" << 0;
        QTest::newRow("declined") << "Ufficio" << int(Answer::No) << "Stampa della videata in <Ufficio>\n\nConfermi ?" << 0;
        QTest::newRow("confirmed") << "Ufficio" << int(Answer::Yes) << "Stampa della videata in <Ufficio>\n\nConfermi ?" << 1;
    }
    void noticePrint()
    {
        QFETCH(QString, printer);
        QFETCH(int, answer);
        QFETCH(QString, asked);
        QFETCH(int, prints);
        frmInformative::setPrinting({[printer] { return printer; }, [this](const QImage &image) { m_printed.append(image); }});
        TestSupport::ScriptedMessages messages;
        messages.push(Answer(answer));
        frmInformative notice;
        notice.show();
        QTest::mouseClick(notice.findChild<QPushButton *>("cmdPrint"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{asked});
        QCOMPARE(messages.seen().first().icon, printer.isEmpty() ? Icon::Exclamation : Icon::Question);
        QCOMPARE(m_printed.size(), prints);
        if (prints)
            QCOMPARE(m_printed.first().size() / m_printed.first().devicePixelRatio(), notice.size());
        QVERIFY(notice.isVisible());
    }
};

COBRELLE_TEST_MAIN(TestAbout)
#include "tst_about.moc"
