#include "maintenance/archiveimport.h"

#include "services/deskmark.h"
#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "data/DB.h"
#include "data/archivefacts.h"
#include "data/deletionlog.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/import/rowcopy.h"
#include "objdb/viewer/datawindow.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QEventLoop>
#include <QSqlQuery>

namespace {

using MessageService::Icon;

ImportFilePicker &filePicker()
{
    static ImportFilePicker picker;
    return picker;
}

// Shows the rows to be imported in the library's data window and waits until it is closed.
void showRowsToImport(const std::shared_ptr<objdb::DataSource> &rows)
{
    objdb::DataWindow &window = objdb::DataWindow::instance();
    window.setReadOnly(true);
    window.showDataSource(rows, QStringLiteral("Dati da importare"));
    class ClosedWatcher : public QObject {
    public:
        explicit ClosedWatcher(QEventLoop &loop) : m_loop(loop) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Hide)
                m_loop.quit();
            return false;
        }

    private:
        QEventLoop &m_loop;
    };
    QEventLoop loop;
    ClosedWatcher watcher(loop);
    window.installEventFilter(&watcher);
    if (window.isVisible())
        loop.exec();
    window.removeEventFilter(&watcher);
}

// The rows that will not be imported, table by table; "" when every row will be.
QString skippedText(const objdb::RowCopy &copy)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QStringList skipped;
    for (const auto &c : copy.counts())
        if (c.skipped > 0)
            skipped.append(QStringLiteral("    %1: %2").arg(c.caption, italian.toString(c.skipped)));
    return skipped.join(QLatin1Char('\n'));
}

QString countsText(const objdb::RowCopy &copy)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QStringList imported;
    for (const auto &c : copy.counts())
        if (c.imported > 0)
            imported.append(QStringLiteral("    %1: %2").arg(c.caption, italian.toString(c.imported)));
    QString text = QStringLiteral("Righe da importare: %1").arg(italian.toString(copy.rowsToCopy()));
    if (!imported.isEmpty())
        text += QLatin1Char('\n') + imported.join(QLatin1Char('\n'));
    const QString skipped = skippedText(copy);
    if (!skipped.isEmpty())
        text += QStringLiteral("\n\nRighe non importate (già presenti o senza il loro movimento):\n") + skipped;
    return text;
}

// An archive is known by its identity; one of an older structure, which has none, by its file.
QString sourceIdentity(objdb::Database &source, const QString &fileName)
{
    const QString identity = ArchiveFacts::Identity(source);
    return identity.isEmpty() ? QStringLiteral("file:") + QFileInfo(fileName).canonicalFilePath() : identity;
}

// An archive imported before asks first, naming that import; No unless the user says otherwise.
bool importAgain(const ArchiveFacts::ImportRecord &earlier, QWidget *owner)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QString what = QStringLiteral("< %1 >, %2 righe").arg(earlier.table, italian.toString(earlier.rows));
    if (!earlier.who.isEmpty())
        what += QStringLiteral(", operatore ") + earlier.who;
    return MessageService::askYesNo(
        QStringLiteral("L'archivio selezionato è già stato importato il %1 alle %2 (%3).\n\n"
                       "Importandolo di nuovo, i movimenti e i pagamenti già importati verrebbero copiati una seconda "
                       "volta.\n\nImportarlo di nuovo?")
            .arg(earlier.when.toString(QStringLiteral("dd/MM/yyyy")), earlier.when.toString(QStringLiteral("HH:mm")), what),
        Icon::Exclamation, MessageService::Answer::No, QString(), owner);
}

bool tableIn(objdb::Database &database, const QString &table)
{
    return database.hasTable(table);
}

} // namespace

QString ChooseArchiveToImport(QWidget *owner)
{
    if (filePicker())
        return filePicker()(owner);
    return QFileDialog::getOpenFileName(owner, QString(), QString(), QStringLiteral("QarnDBMS Orvel File (*.odb *.mdb)"));
}

void setImportFilePicker(ImportFilePicker picker)
{
    filePicker() = std::move(picker);
}

bool ImportArchive(const QString &fileName, const std::shared_ptr<objdb::DataSource> &target, QWidget *owner,
                   objdb::itfNotifyEvent *notify)
{
    if (RefuseWhileOtherDesksIn(target->context()->database()->path(), owner))
        return false;
    const QString name = target->TableName();
    const QString caption = target->tableDef().caption();
    frmMessage *message = frmMessage::instance();
    auto other = objdb::Database::create();
    bool imported = false;
    try {
        message->ShowMsg(QStringLiteral("Analisi dei dati..."), owner);
        std::unique_ptr<objdb::RowCopy> copy;
        std::shared_ptr<objdb::DataSource> rows;
        QString source;
        try {
            other->Open(objdb::kDatabaseFormat, fileName, nullptr, 5, true);
            if (!tableIn(*other, name)) {
                frmMessage::closeInstance();
                MessageService::inform(QStringLiteral("L'archivio selezionato non contiene dati < ") + name
                                           + QStringLiteral(" > da importare!"),
                                       Icon::Exclamation, QString(), owner);
                return false;
            }
            auto context = objdb::Application::Initialise(std::make_shared<DB>(DB::Scope::Rows),
                                                          QCoreApplication::applicationName(), notify);
            context->Attach(other, false);
            objdb::OpenOptions options;
            options.readOnly = true;
            rows = context->Tables().Item(name).OpenDataSource(QString(), QString(), options);
            if (rows->IsEmpty()) {
                frmMessage::closeInstance();
                MessageService::inform(QStringLiteral("L'archivio non contiene dati da importare"), Icon::Information,
                                       QString(), owner);
                return false;
            }
            // A movement's log rows come with it: the check of the archive counts its purged payments.
            copy = std::make_unique<objdb::RowCopy>(
                *rows, *target,
                QList<objdb::CarriedRows>{{DeletionLog::kTable, QStringLiteral("OID_Movimenti"), QStringLiteral("Movimenti")}});
            source = sourceIdentity(*other, fileName);
        } catch (const objdb::Error &e) {
            // An archive of another format, or rows the open archive would refuse: said plainly.
            frmMessage::closeInstance();
            MessageService::inform(e.description() + QStringLiteral("\n\nL'archivio aperto non è stato modificato."),
                                   Icon::Exclamation, QString(), owner);
            return false;
        }
        frmMessage::closeInstance();
        objdb::Database &database = *target->context()->database();
        if (copy->rowsToCopy() == 0) {
            const QString skipped = skippedText(*copy);
            MessageService::inform(QStringLiteral("Non ci sono righe da importare: l'archivio selezionato non ha righe di < ")
                                       + caption + QStringLiteral(" > che manchino in quello aperto.")
                                       + (skipped.isEmpty() ? QString()
                                                            : QStringLiteral("\n\nRighe già presenti o senza il loro "
                                                                             "movimento:\n") + skipped),
                                   Icon::Information, QString(), owner);
            return false;
        }
        if (const auto earlier = ArchiveFacts::LastImportFrom(database, source); earlier && !importAgain(*earlier, owner))
            return false;
        if (MessageService::askYesNo(QStringLiteral("Vuoi visualizzare i dati che verranno importati ?"), Icon::Question,
                                     MessageService::Answer::No, QString(), owner))
            showRowsToImport(rows);
        MessageService::inform(countsText(*copy), Icon::Information, QString(), owner);
        if (!MessageService::askYesNo(QStringLiteral("Confermi l'importazione ?"), Icon::Question,
                                      MessageService::Answer::No, QString(), owner))
            return false;

        message->ShowMsg(QStringLiteral("Importazione <") + caption + QStringLiteral(" > in corso..."), owner);
        objdb::TransactionGuard transaction(database);
        if (copy->CopyRowsTo(message)) {
            ArchiveFacts::RecordImport(database, target->context()->UserName, source,
                                       QFileInfo(fileName).absoluteFilePath(), caption, copy->rowsToCopy(),
                                       countsText(*copy));
            transaction.commit();
            imported = true;
        }
        frmMessage::closeInstance();
        MessageService::inform(imported ? QStringLiteral("OPERAZIONE COMPLETATA.")
                                        : QStringLiteral("Importazione interrotta: l'archivio non è stato modificato."),
                               Icon::Information, QString(), owner);
    } catch (const objdb::Error &e) {
        // A row refused, a full disk: the library's own words, which name the row; the transaction
        // is already rolled back.
        frmMessage::closeInstance();
        MessageService::inform(QStringLiteral("Impossibile importare i dati: ") + e.description()
                                   + QStringLiteral("\n\nL'archivio aperto non è stato modificato."),
                               Icon::Critical, QString(), owner);
        imported = false;
    } catch (const std::exception &) {
        frmMessage::closeInstance();
        ShowErrorReport(QStringLiteral("Impossibile importare i dati"), PendingError::current());
        imported = false;
    }
    other->Close();
    return imported;
}

bool ImportIntoView(const std::shared_ptr<objdb::DataSource> &target, QWidget *owner, objdb::itfNotifyEvent *notify)
{
    const QString caption = target->GetTable().Caption();
    if (!MessageService::askYesNo(QStringLiteral("Questa funzione permette di importare < ") + caption
                                      + QStringLiteral(" > nell'archivio corrente.\n\nATTENZIONE!\nL'operazione deve essere "
                                                       "guidata da personale tecnico!\n\nContinuare ?"),
                                  MessageService::Icon::Exclamation, MessageService::Answer::No, QString(), owner))
        return false;
    const QString fileName = ChooseArchiveToImport(owner);
    return !fileName.isEmpty() && ImportArchive(fileName, target, owner, notify);
}
