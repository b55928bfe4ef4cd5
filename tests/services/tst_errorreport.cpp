#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/frmShowException.h"
#include "testsupport.h"

#include "objdb/error.h"
#include "objdb/notify.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

#include <stdexcept>

using MessageService::Answer;

namespace {

// What the details window showed, read while it is open and then closed.
struct SeenDetails {
    bool opened = false;
    QString code;
    QString message;
};

void watchForDetails(SeenDetails &seen)
{
    QTimer::singleShot(0, [&seen] {
        if (auto *window = qobject_cast<frmShowException *>(QApplication::activeModalWidget())) {
            seen.opened = true;
            seen.code = window->lblCode->text();
            seen.message = window->messageText();
            window->cmdEsc->click();
        }
    });
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class tst_ErrorReport : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_store;
    QList<QUrl> m_opened;
    bool m_openResult = true;

private slots:
    void initTestCase()
    {
        QVERIFY(m_store.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.path());
        frmShowException::openUrl = [this](const QUrl &url) {
            m_opened.append(url);
            return m_openResult;
        };
        frmShowException::chooseSaveFile = [](QWidget *, const QString &, const QString &) {
            qFatal("a test reached the file dialog without choosing a file");
            return QString();
        };
    }

    void init()
    {
        m_opened.clear();
        m_openResult = true;
    }

    void codeText_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("run-time error") << qint32(5) << QStringLiteral("5 (5)");
        QTest::newRow("object-defined") << qint32(objdb::kErrorBase + 500) << QStringLiteral("500 (1F4)");
        QTest::newRow("library refusal") << qint32(objdb::kErrorBase + 124) << QStringLiteral("124 (7C)");
        QTest::newRow("zero") << qint32(0) << QStringLiteral("0 (0)");
        // Other negative numbers are taken relative to the same base.
        QTest::newRow("system code") << qint32(0x80070005u) << QStringLiteral("196613 (30005)");
        QTest::newRow("below the base") << qint32(0x80000001u) << QStringLiteral("-262143 (FFFC0001)");
    }

    void codeText()
    {
        QFETCH(qint32, number);
        QFETCH(QString, text);
        QCOMPARE(ErrorCodeText(number), text);
    }

    void pendingErrorFromExceptions()
    {
        const PendingError runtime(std::runtime_error("disco pieno"));
        QCOMPARE(runtime.number, 5);
        QCOMPARE(runtime.description, QStringLiteral("disco pieno"));

        const objdb::Error library(QStringLiteral("rifiutato"), 500);
        const PendingError direct(library);
        QCOMPARE(direct.number, objdb::kErrorBase + 500);
        const std::exception &asStd = library;
        QCOMPARE(PendingError(asStd).number, objdb::kErrorBase + 500);

        PendingError caught;
        try {
            objdb::fail(QStringLiteral("fermato"), objdb::kErrStopped);
        } catch (...) {
            caught = PendingError::current();
        }
        QCOMPARE(caught.number, objdb::kErrorBase + objdb::kErrStopped);
        QCOMPARE(caught.description, QStringLiteral("fermato"));
    }

    void longDescriptionIsCutInTheQuestion()
    {
        TestSupport::ScriptedMessages messages;
        const QString description = QString(300, QLatin1Char('x'));
        ShowErrorReport(QString(), PendingError(5, description));
        QCOMPARE(messages.seen().size(), 1);
        const MessageService::Request &question = messages.seen().first();
        QCOMPARE(question.text, QString(200, QLatin1Char('x')) + QStringLiteral(" ...\n\nVisualizzare dettagli ?"));
        QCOMPARE(question.icon, MessageService::Icon::Critical);
        QCOMPARE(question.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(question.defaultAnswer, Answer::No);
        QCOMPARE(question.title, MessageService::commonTitle());
    }

    void noAnswerOpensNothing()
    {
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::No);
        SeenDetails seen;
        watchForDetails(seen);
        ShowErrorReport(QStringLiteral("Visualizzazione dati fallita: "), PendingError(5, QStringLiteral("d")));
        QCoreApplication::processEvents();
        QVERIFY(!seen.opened);
    }

    void contextIsAskedAndDescriptionShown()
    {
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        SeenDetails seen;
        watchForDetails(seen);
        ShowErrorReport(QStringLiteral("Conversione interrotta: "),
                        PendingError(objdb::Error(QStringLiteral("riga 1\rriga 2"), 500)));
        QCOMPARE(messages.texts().first(),
                 QStringLiteral("Conversione interrotta:  ...\n\nVisualizzare dettagli ?"));
        QVERIFY(seen.opened);
        QCOMPARE(seen.code, QStringLiteral("500 (1F4)"));
        QCOMPARE(seen.message, QStringLiteral("riga 1\r\nriga 2"));
    }

    // The question says what became of the data before the cause: a refusal or a stop changed
    // nothing (the library's message 124), a failure after a committed change says the change is
    // saved, any other failure gives the context or its own description, which says what to do.
    void theQuestionSaysWhatHappened_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("question");
        const QString untouched = objdb::Application::Message(124, 0);
        const QString saved = QStringLiteral("La modifica ai dati è stata salvata, ma il passo successivo non è riuscito:\n\n");
        QTest::newRow("refused") << objdb::kErrRefused << false << QStringLiteral("Impossibile importare i dati")
                                 << untouched + QStringLiteral("\n\ndettaglio");
        QTest::newRow("stopped") << objdb::kErrStopped << false << QString() << untouched + QStringLiteral("\n\ndettaglio");
        QTest::newRow("disk full") << objdb::kErrDiskFull << false << QString() << QStringLiteral("dettaglio ...");
        QTest::newRow("refused after a save") << objdb::kErrRefused << true << QString() << saved + QStringLiteral("dettaglio");
        QTest::newRow("read after a save") << objdb::kErrDiskIo << true << QStringLiteral("Visualizzazione dati fallita: ")
                                           << saved + QStringLiteral("Visualizzazione dati fallita: ");
    }

    void theQuestionSaysWhatHappened()
    {
        QFETCH(int, code);
        QFETCH(bool, written);
        QFETCH(QString, context);
        QFETCH(QString, question);
        objdb::Error error(QStringLiteral("dettaglio"), code);
        if (written)
            error.setWritten();
        TestSupport::ScriptedMessages messages;
        ShowErrorReport(context, PendingError(error));
        QCOMPARE(messages.texts(), QStringList{question + QStringLiteral("\n\nVisualizzare dettagli ?")});
    }

    void windowControls()
    {
        frmShowException window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Visualizzazione Errore"));
        QCOMPARE(window.cmdBrowser->toolTip(), QStringLiteral("Visualizza il messaggio nel Browser HTML predefinito"));
        QCOMPARE(window.cmdSave->toolTip(), QStringLiteral("Salva il messaggio di errore in un file di testo"));
        QCOMPARE(window.cmdSupport->toolTip(),
                 QStringLiteral("Spedisce il messaggio di errore al supporto tramite posta elettronica"));
        QCOMPARE(window.lblCode->font().styleHint(), QFont::Monospace);
    }

    void lineEndsOfTheText()
    {
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("a\rb\rc"));
        QCOMPARE(window.messageText(), QStringLiteral("a\r\nb\r\nc"));
        QCOMPARE(window.txtMsg->toPlainText(), QStringLiteral("a\nb\nc"));
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("a\r\nb\rc"));
        QCOMPARE(window.messageText(), QStringLiteral("a\r\nb\rc"));
        const QString longText(5000, QLatin1Char('z'));
        window.SetException(QStringLiteral("5 (5)"), longText);
        QCOMPARE(window.txtMsg->toPlainText(), longText);
    }

    void browserPageShowsTheTextAsText()
    {
        TestSupport::ScriptedMessages messages;
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("<script>alert(1)</script> & \"x\""));
        window.cmdBrowser->click();
        const QString path = ProgramFolder() + QStringLiteral("/Error.htm");
        const QString page = readAll(path);
        QFile::remove(path);
        QVERIFY(messages.seen().isEmpty());
        QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(page.contains(QStringLiteral("<pre>&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;</pre>")));
        QVERIFY(!page.contains(QStringLiteral("<script>")));
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
    }

    void browserFailureIsReported()
    {
        TestSupport::ScriptedMessages messages;
        m_openResult = false;
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("testo"));
        window.cmdBrowser->click();
        QFile::remove(ProgramFolder() + QStringLiteral("/Error.htm"));
        QCOMPARE(messages.seen().size(), 1);
        QCOMPARE(messages.seen().first().title, QStringLiteral("ERRORE"));
        QCOMPARE(messages.seen().first().buttons, MessageService::Buttons::Ok);
    }

    void supportMailEncodesEverything()
    {
        Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("SupportEmail"),
                            QStringLiteral("aiuto@example.org"));
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("a & b?c#d%e\rf=g+h"));
        window.cmdSupport->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(QString::fromLatin1(m_opened.first().toEncoded()),
                 QStringLiteral("mailto:aiuto@example.org?subject=SUPPORT%20REQUEST&body=Error%3A%205%20%285%29"
                                "a%20%26%20b%3Fc%23d%25e%0D%0Af%3Dg%2Bh"));
        // Decoded, the body is the text itself.
        QCOMPARE(QUrlQuery(m_opened.first()).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QStringLiteral("Error: 5 (5)a & b?c#d%e\r\nf=g+h"));
    }

    void supportAddressIsNeverMadeUp()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"))
            .clear();
        QVERIFY(frmShowException::supportEmail().isEmpty());
        QVERIFY(!frmShowException().findChild<QPushButton *>(QStringLiteral("cmdSupport"))->isEnabled());
    }

    void saveAsksBeforeReplacing()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("LastError.txt"));
        QString proposed;
        QString filter;
        const auto previous = frmShowException::chooseSaveFile;
        frmShowException::chooseSaveFile = [&](QWidget *, const QString &path, const QString &f) {
            proposed = path;
            filter = f;
            return target;
        };
        TestSupport::ScriptedMessages messages;
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("primo"));
        window.cmdSave->click();
        QCOMPARE(proposed, ProgramFolder() + QStringLiteral("/LastError.txt"));
        QCOMPARE(filter, QStringLiteral("Testo (*.txt)"));
        QVERIFY(messages.seen().isEmpty());
        QCOMPARE(readAll(target), QStringLiteral("Error: 5 (5)primo\n"));

        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("secondo"));
        messages.push(Answer::No);
        window.cmdSave->click();
        QCOMPARE(messages.seen().size(), 1);
        const MessageService::Request &question = messages.seen().first();
        QCOMPARE(question.text, QStringLiteral("Il file esiste già...\n\nVuoi sostituirlo ?"));
        QCOMPARE(question.icon, MessageService::Icon::Exclamation);
        QCOMPARE(question.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(question.defaultAnswer, Answer::No);
        QCOMPARE(question.title, QStringLiteral("ATTENZIONE"));
        QCOMPARE(readAll(target), QStringLiteral("Error: 5 (5)primo\n"));

        messages.push(Answer::Yes);
        window.cmdSave->click();
        QCOMPARE(readAll(target), QStringLiteral("Error: 5 (5)secondo\n"));
        frmShowException::chooseSaveFile = previous;
    }

    void cancelledSaveDoesNothing()
    {
        const auto previous = frmShowException::chooseSaveFile;
        frmShowException::chooseSaveFile = [](QWidget *, const QString &, const QString &) { return QString(); };
        TestSupport::ScriptedMessages messages;
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("x"));
        window.cmdSave->click();
        QVERIFY(messages.seen().isEmpty());
        frmShowException::chooseSaveFile = previous;
    }

    void saveFailureIsReported()
    {
        const auto previous = frmShowException::chooseSaveFile;
        frmShowException::chooseSaveFile = [](QWidget *, const QString &, const QString &) {
            return QStringLiteral("/nonexistent-folder/LastError.txt");
        };
        TestSupport::ScriptedMessages messages;
        frmShowException window;
        window.SetException(QStringLiteral("5 (5)"), QStringLiteral("x"));
        window.cmdSave->click();
        QCOMPARE(messages.seen().size(), 1);
        QCOMPARE(messages.seen().first().title, QStringLiteral("ERRORE"));
        QVERIFY(messages.seen().first().text.contains(QStringLiteral("/nonexistent-folder/LastError.txt")));
        frmShowException::chooseSaveFile = previous;
    }
};

COBRELLE_TEST_MAIN(tst_ErrorReport)
#include "tst_errorreport.moc"
