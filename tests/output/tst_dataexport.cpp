// "Esporta dati...": CSV as Italian spreadsheets read it and HTML, the format chosen in the file
// dialog, hostile values, the fields of the grid, the stop and an unwritable file.

#include "outputfixture.h"

#include "output/dataexport.h"

#include "objdb/notify.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace OutputFixture;

namespace {

// RFC 4180 read back: fields separated by ';', quoted fields may hold ';', '"' (doubled) and line
// breaks; records end with CRLF. A bare LF outside quotes is a fault.
QList<QStringList> readCsv(const QString &text, QString *fault)
{
    const auto at = [&text](qsizetype i) { return i < text.size() ? text.at(i) : QChar(); };
    QList<QStringList> records{QStringList()};
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u';') {
            records.last().append(field);
            field.clear();
            wasQuoted = false;
        } else if (c == u'\r' && at(i + 1) == u'\n') {
            records.last().append(field);
            field.clear();
            wasQuoted = false;
            records.append(QStringList());
            ++i;
        } else if (c == u'\n' || c == u'\r' || c == u'"') {
            *fault = QStringLiteral("bare %1 at %2").arg(c.unicode()).arg(i);
            return {};
        } else {
            field += c;
        }
    }
    if (!records.last().isEmpty() || !field.isEmpty())
        *fault = QStringLiteral("last record without its line end");
    records.removeLast();
    return records;
}

const QString kQuoted = QStringLiteral("Rossi; \"Bianchi\"\nsecondo rigo");
const QString kFormula = QStringLiteral("=SOMMA(A1:A9)");

struct Exported {
    QString path;
    QString filterOffered;
    QStringList filters;
};

} // namespace

class TestDataExport : public QObject {
    Q_OBJECT

private:
    // Movements: two plain ones, then the hostile descriptions with a discount of -12,50.
    std::unique_ptr<SmallArchive> archiveWithHostileTexts()
    {
        auto data = std::make_unique<SmallArchive>(2);
        const TestSupport::ScriptedMessages confirmDates;
        auto movements = data->archive.context->Tables().Item("Movimenti").OpenDataSource();
        for (const QString &text : {kQuoted, kFormula, QStringLiteral("<b>&amp;</b>")})
            movements->AddRow({"Descrizione", text, "Importo", QVariant::fromValue(objdb::Amount::fromUnits(12345000)),
                               "Sconto", QVariant::fromValue(objdb::Amount::fromUnits(-125000))});
        return data;
    }

    // Runs the command with the file dialog answering `file` and choosing `filter` (when not empty).
    Exported exportTo(objdb::DataSource &ds, const QString &file, const QString &filter = QString(),
                      const QString &fieldList = QString())
    {
        ScriptedDialogs dialogs;
        Exported seen;
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &proposed, const QStringList &filters,
                                QString *chosen) {
            seen.path = proposed;
            seen.filters = filters;
            if (!filter.isEmpty())
                *chosen = filters.value(filters.indexOf(filter));
            return file;
        };
        output::ViewInfo view;
        view.title = QStringLiteral("Movimenti");
        view.period = QStringLiteral("Dati del giorno 01/03/2005 relativi a Data");
        output::ExportData(ds, fieldList, view);
        return seen;
    }

private slots:
    void csvAsItalianSpreadsheetsReadIt()
    {
        auto data = archiveWithHostileTexts();
        auto ds = data->section("Movimenti");
        QTemporaryDir dir;
        TestSupport::ScriptedMessages script;
        const Exported seen = exportTo(*ds, dir.filePath("movimenti.csv"), QString(), "Descrizione;Importo;Sconto;Pagato");
        QVERIFY(script.seen().isEmpty());
        QVERIFY(seen.path.endsWith("/Movimenti.csv"));
        QCOMPARE(seen.filters.size(), 2);

        QFile file(dir.filePath("movimenti.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QString fault;
        const QList<QStringList> records = readCsv(QString::fromUtf8(bytes.mid(3)), &fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(records.value(0), (QStringList{"Descrizione", "Importo", "Sconto", "Pagato"}));
        QCOMPARE(records.size(), 6);
        QStringList descriptions;
        for (const QStringList &record : records.mid(1))
            descriptions.append(record.value(0));
        QVERIFY(descriptions.contains(kQuoted));
        QVERIFY(descriptions.contains(QLatin1Char('\'') + kFormula)); // never read as a formula
        QVERIFY(descriptions.contains("<b>&amp;</b>"));
        const QStringList hostile = records.value(1 + int(descriptions.indexOf(kQuoted)));
        QCOMPARE(hostile.mid(1), (QStringList{"1234,50", "-12,50", "No"}));
    }

    // The HTML filter (or an .htm name) writes the page instead, well formed and escaped.
    void htmlChosenInTheDialog()
    {
        auto data = archiveWithHostileTexts();
        auto ds = data->section("Movimenti");
        QTemporaryDir dir;
        exportTo(*ds, dir.filePath("movimenti"), QStringLiteral("Pagina HTML (*.htm *.html)"));
        QFile file(dir.filePath("movimenti.htm"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList cells;
        QString period;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("td"))
                    cells.append(xml.readElementText());
                else if (xml.name() == QLatin1String("p") && period.isEmpty())
                    period = xml.readElementText();
            }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(cells.contains(kQuoted));
        QVERIFY(cells.contains(kFormula)); // a page runs nothing: the text stays as typed
        QVERIFY(cells.contains("<b>&amp;</b>"));
        QCOMPARE(period, QStringLiteral("Dati del giorno 01/03/2005 relativi a Data"));

        exportTo(*ds, dir.filePath("second.html"), QStringLiteral("File CSV per fogli di calcolo (*.csv)"));
        QFile named(dir.filePath("second.html"));
        QVERIFY(named.open(QIODevice::ReadOnly));
        QVERIFY(named.readAll().startsWith("<!DOCTYPE html>"));
    }

    void cancelledDialogWritesNothing()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti");
        TestSupport::ScriptedMessages script;
        exportTo(*ds, QString());
        QVERIFY(script.seen().isEmpty());
        QVERIFY(!frmMessage::instance()->isVisible());
    }

    // Stopped, the export leaves no file, complete or not.
    void stopLeavesNoFile()
    {
        SmallArchive data(5);
        auto ds = data.section("Pagamenti");
        QTemporaryDir dir;
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::Yes); // "Confermi l'interruzione ?"
        StopOnProgress stop;
        exportTo(*ds, dir.filePath("pagamenti.csv"));
        QCOMPARE(stop.presses(), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(script.texts().size(), 2);
        QVERIFY(script.texts().value(1).startsWith(objdb::Application::Message(124)));
    }

    void unwritableFileIsNamed()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti");
        QTemporaryDir dir;
        const QString target = dir.filePath("no/such/folder/pagamenti.csv");
        TestSupport::ScriptedMessages script;
        exportTo(*ds, target);
        QCOMPARE(script.seen().size(), 1);
        QVERIFY(script.seen().first().text.startsWith(
            QStringLiteral("Impossibile scrivere il file \"%1\"").arg(QDir::toNativeSeparators(target))));
    }
};

COBRELLE_TEST_MAIN(TestDataExport)
#include "tst_dataexport.moc"
