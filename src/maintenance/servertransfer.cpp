#include "maintenance/servertransfer.h"

#include "maintenance/frmServerTransfer.h"
#include "services/archivechoice.h"
#include "services/deskmark.h"
#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "services/session.h"
#include "data/DB.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/filter/filterstore.h"
#include "objdb/maintenance/archivetransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <optional>

namespace {

using MessageService::Icon;

QString captionOf(const QString &archive)
{
    if (const auto address = objdb::ServerAddress::fromUri(archive))
        return address->caption();
    return QDir::toNativeSeparators(archive);
}

QString number(qint64 value)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(value);
}

// One line per table: its rows, and for a table that differs what differs on each side.
QString reportOf(const QList<objdb::TransferCheck> &checks)
{
    QStringList lines;
    for (const auto &check : checks) {
        if (check.matches()) {
            lines.append(QStringLiteral("    %1: %2 righe%3")
                             .arg(check.caption, number(check.sourceRows),
                                  check.amountColumns.isEmpty() ? QString() : QStringLiteral(", importi uguali")));
            continue;
        }
        QString line = QStringLiteral("    %1: righe %2 nell'archivio, %3 nella copia")
                           .arg(check.caption, number(check.sourceRows), number(check.targetRows));
        for (qsizetype i = 0; i < check.amountColumns.size(); ++i)
            if (check.sourceSums.at(i) != check.targetSums.at(i))
                line += QStringLiteral("; %1 %2 nell'archivio, %3 nella copia")
                            .arg(check.amountColumns.at(i), check.sourceSums.at(i).toDisplayString(4),
                                 check.targetSums.at(i).toDisplayString(4));
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

bool allMatch(const QList<objdb::TransferCheck> &checks)
{
    return std::all_of(checks.cbegin(), checks.cend(), [](const auto &check) { return check.matches(); });
}

// The filters saved in the archive, which live in the library's own store rather than in a table of
// the definition; how many there are on each side.
struct FilterCount {
    qint64 source = 0;
    qint64 target = 0;
};

FilterCount copySavedFilters(objdb::Database &source, objdb::Database &target, const QList<objdb::TableDef> &tables)
{
    namespace Store = objdb::FilterStore;
    FilterCount count;
    for (const auto &table : tables)
        for (const bool predefined : {false, true}) {
            for (const QString &name : Store::names(source, table.name, predefined))
                if (const auto conditions = Store::load(source, table.name, name, predefined)) {
                    Store::save(target, table.name, name, predefined, *conditions, true);
                    ++count.source;
                }
            count.target += Store::names(target, table.name, predefined).size();
        }
    return count;
}

void tell(const QString &text, Icon icon, QWidget *owner)
{
    frmMessage::closeInstance();
    MessageService::inform(text, icon, QString(), owner);
}

// Copies inside the target's transaction, its tables laid down by a data context of its own; the
// source is held for writing meanwhile, so that no desk changes it under the copy.
bool copyAndCompare(Session &session, const std::shared_ptr<objdb::Database> &target, objdb::ArchiveTransfer &transfer,
                    const QString &caption, QWidget *owner)
{
    frmMessage *message = frmMessage::instance();
    message->ShowMsg(QStringLiteral("Trasferimento dell'archivio in %1...").arg(caption), owner);
    objdb::TransactionGuard hold(*session.database);
    objdb::TransactionGuard transaction(*target);
    auto context = objdb::Application::Initialise(std::make_shared<DB>(), QCoreApplication::applicationName(), nullptr);
    context->Attach(target, true);
    if (!transfer.copy(message)) {
        tell(QStringLiteral("Trasferimento interrotto: l'archivio %1 non è stato modificato.").arg(caption), Icon::Information,
             owner);
        return false;
    }
    const FilterCount filters = copySavedFilters(*session.database, *target, context->tableDefs());
    message->ShowMsg(QStringLiteral("Confronto dei due archivi..."), owner);
    const QList<objdb::TransferCheck> checks = transfer.compare();
    const QString report = reportOf(checks)
                           + QStringLiteral("\n    Filtri salvati: %1 nell'archivio, %2 nella copia")
                                 .arg(number(filters.source), number(filters.target));
    if (!allMatch(checks) || filters.source != filters.target) {
        tell(QStringLiteral("La copia non corrisponde all'archivio e non è stata conservata: l'archivio %1 non è stato "
                            "modificato.\n\n")
                 .arg(caption)
                 + report,
             Icon::Critical, owner);
        return false;
    }
    transaction.commit();
    tell(QStringLiteral("Trasferimento completato: l'archivio %1 è uguale a quello aperto.\n\n").arg(caption) + report,
         Icon::Information, owner);
    return true;
}

} // namespace

bool TransferArchive(Session &session, const QString &target, QWidget *owner)
{
    const QString caption = captionOf(target);
    auto archive = objdb::Database::create();
    try {
        frmMessage::instance()->ShowMsg(QStringLiteral("Apertura dell'archivio %1...").arg(caption), owner);
        archive->Open(objdb::kDatabaseFormat, target, nullptr, 5);
        objdb::ArchiveTransfer transfer(*session.database, *archive, session.dataContext->tableDefs());
        frmMessage::closeInstance();
        if (!MessageService::askYesNo(QStringLiteral("Copiare le %1 righe dell'archivio aperto nell'archivio %2?")
                                          .arg(number(transfer.rowsToCopy()), caption),
                                      Icon::Question, MessageService::Answer::No, QString(), owner))
            return false;
        return copyAndCompare(session, archive, transfer, caption, owner);
    } catch (const objdb::Error &e) {
        tell(QStringLiteral("Impossibile trasferire l'archivio in %1:\n\n%2\n\nL'archivio %1 non è stato modificato.")
                 .arg(caption, e.description()),
             Icon::Critical, owner);
    } catch (const std::exception &) {
        frmMessage::closeInstance();
        ShowErrorReport(QStringLiteral("Impossibile trasferire l'archivio"), PendingError::current());
    }
    return false;
}

bool TransferArchiveToServer(Session &session, QWidget *owner)
{
    if (!session.isReady()) {
        MessageService::beep();
        return false;
    }
    const QString source = session.database->path();
    if (objdb::isServerAddress(source)) {
        MessageService::inform(QStringLiteral("L'archivio aperto è già su un server."), Icon::Information, QString(), owner);
        return false;
    }
    if (RefuseWhileOtherDesksIn(source, owner))
        return false;
    ArchiveChoice choice = ReadArchiveChoice();
    const std::optional<objdb::ServerAddress> address = frmServerTransfer::Ask(choice.server, owner);
    if (!address || !TransferArchive(session, address->uri(), owner))
        return false;
    if (!MessageService::askYesNo(QStringLiteral("Usare da ora l'archivio %1 su questo terminale?\n\n"
                                                 "Sugli altri terminali va scelto nelle impostazioni.")
                                      .arg(address->caption()),
                                  Icon::Question, MessageService::Answer::Yes, QString(), owner))
        return false;
    choice.kind = ArchiveKind::Server;
    choice.server = *address;
    WriteArchiveChoice(choice);
    return true;
}
