// The browser page: where it is written, what it holds (read back as XML), the field-sequence
// question, and a stopped export that leaves the previous page.

#include "outputfixture.h"

#include "output/browserpage.h"

#include "services/configuration.h"

#include "objdb/error.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace OutputFixture;

namespace {

// The page as read by an XML reader: the reading stops at the first fault.
struct Page {
    QString error;
    QString title, heading, period;
    QStringList headers;
    QList<QStringList> rows;
    QList<QStringList> classes; // the class of each cell
};

Page readPage(const QString &path)
{
    Page page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        page.error = QStringLiteral("missing");
        return page;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("tr")) {
            page.rows.append(QStringList());
            page.classes.append(QStringList());
        } else if (name == QLatin1String("td")) {
            page.classes.last().append(xml.attributes().value(QStringLiteral("class")).toString());
            page.rows.last().append(xml.readElementText());
        } else if (name == QLatin1String("th")) {
            page.headers.append(xml.readElementText());
        } else if (name == QLatin1String("title")) {
            page.title = xml.readElementText();
        } else if (name == QLatin1String("h1")) {
            page.heading = xml.readElementText();
        } else if (name == QLatin1String("p") && xml.attributes().value(QStringLiteral("class")) == QLatin1String("periodo")) {
            page.period = xml.readElementText();
        }
    }
    if (xml.hasError())
        page.error = xml.errorString();
    page.rows.removeIf([](const QStringList &row) { return row.isEmpty(); }); // the header row
    page.classes.removeIf([](const QStringList &row) { return row.isEmpty(); });
    return page;
}

const QString kHostile = QStringLiteral("<script>alert('x')</script> & \"soci\" \x01 fine");

// The page file the program writes, removed before and after each test.
QString pageFile()
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("TableData.htm"));
}

struct Opened {
    QStringList files;
    output::ViewInfo view(const QString &title = QStringLiteral("Pagamenti"), const QString &period = QString())
    {
        output::ViewInfo info;
        info.title = title;
        info.period = period;
        info.openDocument = [this](const QString &file) {
            files.append(file);
            return true;
        };
        return info;
    }
};

} // namespace

class TestBrowserPage : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(pageFile()); }
    void cleanup() { QFile::remove(pageFile()); }

    // Hostile texts come back exactly (a character XML cannot hold as U+FFFD), amounts are right
    // aligned in Italian form, dates dd/mm/yyyy, yes/no "Sì"/"No", titles from the captions.
    void pageIsWellFormedAndEscaped()
    {
        SmallArchive data(2);
        {
            const TestSupport::ScriptedMessages confirmDates;
            auto movements = data.archive.context->Tables().Item("Movimenti").OpenDataSource();
            QVERIFY(movements->AddRow({"Descrizione", kHostile, "Importo", money(1234), "Sconto", money(0)}));
        }
        auto ds = data.section("Movimenti");
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::No); // no change of the field sequence
        Opened opened;
        output::ShowInBrowser(*ds, QString(), opened.view("Movimenti", "Dati del mese 03/2005 relativi a Data"));
        QCOMPARE(script.texts(), QStringList{"Vuoi modificare la sequenza dei campi per il browser ?"});
        QCOMPARE(opened.files, QStringList{pageFile()});

        const Page page = readPage(pageFile());
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        QCOMPARE(page.title, QStringLiteral("Movimenti"));
        QCOMPARE(page.heading, QStringLiteral("Movimenti"));
        QCOMPARE(page.period, QStringLiteral("Dati del mese 03/2005 relativi a Data"));
        QCOMPARE(page.headers.mid(0, 6), (QStringList{"Descrizione", "Importo", "Sconto", "Importo In Sospeso", "Pagato",
                                                       "Compagnia"}));
        QCOMPARE(page.rows.size(), 3);
        const auto found = std::find_if(page.rows.cbegin(), page.rows.cend(),
                                        [](const QStringList &row) { return row.value(0).contains("script"); });
        QVERIFY(found != page.rows.cend());
        const QStringList hostile = *found;
        QString expected = kHostile;
        expected.replace(QChar(1), QChar(QChar::ReplacementCharacter));
        QCOMPARE(hostile.value(0), expected);
        QCOMPARE(hostile.mid(1, 4), (QStringList{"1.234,00", "0,00", "1.234,00", "No"}));
        QCOMPARE(page.classes.value(int(found - page.rows.cbegin())).mid(0, 5), (QStringList{"", "n", "n", "n", "c"}));

        QFile raw(pageFile());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(!bytes.contains("<script>"));
        QVERIFY(bytes.contains("<meta charset=\"utf-8\"/>"));
    }

    void datesOfThePaymentsView()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti");
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::No);
        Opened opened;
        output::ShowInBrowser(*ds, QString(), opened.view());
        const Page page = readPage(pageFile());
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        const qsizetype date = page.headers.indexOf("Data");
        QVERIFY(date >= 0);
        QCOMPARE(page.rows.value(0).value(date), QStringLiteral("01/03/2005"));
        QCOMPARE(page.classes.value(0).value(date), QStringLiteral("d"));
    }

    // Yes opens the field-sequence editor: its choice limits and orders the page, and a second
    // export replaces the first page. Cancelling it exports nothing.
    void fieldSequenceEditor()
    {
        SmallArchive data(2);
        auto ds = data.section("Pagamenti");
        ScriptedDialogs dialogs;
        QString titleSeen, sequenceSeen;
        bool confirm = true;
        dialogs->editFieldSequence = [&](const objdb::DataSource &, const QString &title, QString &sequence, QWidget *) {
            titleSeen = title;
            sequenceSeen = sequence;
            sequence = QStringLiteral("Descrizione;Data");
            return confirm;
        };
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::Yes);
        Opened opened;
        output::ShowInBrowser(*ds, QStringLiteral("Data"), opened.view());
        QCOMPARE(titleSeen, QStringLiteral("Esportazione HTML - Selezione Campi"));
        QCOMPARE(sequenceSeen, QStringLiteral("Data"));
        Page page = readPage(pageFile());
        QCOMPARE(page.headers, (QStringList{"Descrizione", "Data"}));
        QCOMPARE(page.rows.value(0), (QStringList{"Polizza 0", "01/03/2005"}));

        script.push(MessageService::Answer::No);
        output::ShowInBrowser(*ds, QStringLiteral("Data"), opened.view());
        page = readPage(pageFile());
        QCOMPARE(page.headers, QStringList{"Data"});

        confirm = false;
        script.push(MessageService::Answer::Yes);
        output::ShowInBrowser(*ds, QString(), opened.view());
        QCOMPARE(opened.files.size(), 2);
        QCOMPARE(readPage(pageFile()).headers, QStringList{"Data"});
    }

    // A stop from the progress window leaves the previous page and opens nothing; the user hears
    // that the operation was not completed.
    void stopLeavesThePreviousPage()
    {
        SmallArchive data(3);
        auto ds = data.section("Pagamenti");
        {
            QFile previous(pageFile());
            QVERIFY(previous.open(QIODevice::WriteOnly));
            previous.write("<html>previous</html>");
        }
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::No);  // field sequence
        script.push(MessageService::Answer::Yes); // "Confermi l'interruzione ?"
        StopOnProgress stop;
        Opened opened;
        output::ShowInBrowser(*ds, QString(), opened.view());
        QCOMPARE(stop.presses(), 1);
        QVERIFY(opened.files.isEmpty());
        QCOMPARE(script.texts().value(1), QStringLiteral("Confermi l'interruzione ?"));
        QVERIFY(script.texts().value(2).startsWith(objdb::Application::Message(124)));
        QFile page(pageFile());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), QByteArray("<html>previous</html>"));
        QCOMPARE(QDir(ProgramFolder()).entryList({"TableData*"}, QDir::Files), QStringList{"TableData.htm"});
        QVERIFY(!frmMessage::instance()->isVisible());
    }

    // The page goes to the first folder that takes a file.
    void folderFallback()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unusable = dir.filePath("not-a-folder/program");
        const QString perUser = dir.filePath("per-user");
        QCOMPARE(output::BrowserPageFile({unusable, perUser}), QDir(perUser).filePath("TableData.htm"));
        QCOMPARE(QDir(perUser).entryList(QDir::Files), QStringList()); // the trial file is gone
        QCOMPARE(output::BrowserPageFile({dir.path(), perUser}), QDir(dir.path()).filePath("TableData.htm"));
        try {
            output::BrowserPageFile({unusable});
            QFAIL("no folder takes the page");
        } catch (const objdb::Error &error) {
            QVERIFY(error.description().contains(QDir::toNativeSeparators(QDir(unusable).filePath("TableData.htm"))));
        }
        QCOMPARE(output::PageFolders().value(0), ProgramFolder());
    }
};

COBRELLE_TEST_MAIN(TestBrowserPage)
#include "tst_browserpage.moc"
