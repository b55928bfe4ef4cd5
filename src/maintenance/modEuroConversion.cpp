#include "maintenance/modEuroConversion.h"

#include "maintenance/outstanding.h"
#include "data/archivefacts.h"
#include "services/deskmark.h"
#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QApplication>
#include <QSqlQuery>

namespace EuroConversion {

namespace {

// An amount column divided by the fixed rate: exact integer arithmetic on the stored ten-thousandths,
// rounded once, half away from zero; Null stays Null.
QString divided(const QString &column)
{
    static const qint64 rate = objdb::Amount::parseDecimal(QStringLiteral("1936.27"))->units();
    // amount / rate in ten-thousandths is amount * scale / rate; doubled to round at the half.
    return QStringLiteral("CASE WHEN %1 >= 0 THEN (%1 * %2 + %3) / %4 ELSE -((-%1 * %2 + %3) / %4) END")
        .arg(column)
        .arg(2 * objdb::Amount::kScale)
        .arg(rate)
        .arg(2 * rate);
}

struct Slice {
    QString sql;
    QVariantList binds;
};

// Every statement of the run, slice by slice: the amounts of each table, the movements last, whose
// outstanding amounts are set in the same statement from their converted parts (so the payments and
// the log are converted before them), followed by their paid flags.
QList<Slice> slices(objdb::DataContext &context, objdb::Database &db)
{
    const QString movements = QStringLiteral("Movimenti");
    const bool purged = Outstanding::AnyPurged(db);
    QList<Slice> all, last;
    auto &tables = context.Tables();
    for (int i = 1; i <= tables.Count(); ++i) {
        const objdb::Table &table = tables.Item(i);
        const bool isMovements = table.Name() == movements;
        QStringList sets;
        for (int c = 1; c <= table.ColumnCount(); ++c) {
            const objdb::ColumnInfo column = table.Column(c);
            if (column.Type != objdb::TypeAmount || (isMovements && column.Name == QLatin1String("ImportoInSospeso")))
                continue;
            sets.append(QStringLiteral("%1 = %2").arg(objdb::sqlName(column.Name), divided(objdb::sqlName(column.Name))));
        }
        if (sets.isEmpty())
            continue;
        if (isMovements)
            sets.append(QStringLiteral("ImportoInSospeso = ")
                        + Outstanding::correlatedExpression(divided(QStringLiteral("Importo")),
                                                            divided(QStringLiteral("Sconto")), purged));
        const QString update = QStringLiteral("UPDATE %1 SET %2 WHERE OID BETWEEN ? AND ?")
                                   .arg(objdb::sqlName(table.Name()), sets.join(QStringLiteral(", ")));
        for (const auto &range : KeyRanges::Of(db, table.Name(), KeyRanges::kSpan)) {
            if (isMovements) {
                last.append({update, Outstanding::correlatedBinds(purged) + QVariantList{range.first, range.last}});
                last.append({Outstanding::paidFlagSql(), {range.first, range.last}});
            } else {
                all.append({update, {range.first, range.last}});
            }
        }
    }
    return all + last;
}

} // namespace

Outcome Convert(objdb::DataContext &context, const KeyRanges::Step &step)
{
    const auto db = context.database();
    objdb::TransactionGuard transaction(*db);
    const objdb::BulkCache cache(*db);
    const QList<Slice> work = slices(context, *db);
    for (int i = 0; i < work.size(); ++i) {
        db->exec(work[i].sql, work[i].binds);
        if (!step(i + 1, int(work.size())))
            return {true};
    }
    ArchiveFacts::RecordConversion(*db, context.UserName);
    transaction.commit();
    return {};
}

} // namespace EuroConversion

namespace {

// The warning of a second conversion names the first one when the archive knows it.
QString alreadyConvertedQuestion(const ArchiveFacts::ConversionMark &mark)
{
    QString text = QStringLiteral("CONVERSIONE GIA' EFFETTUATA!!!");
    if (mark.when.isValid())
        text += QStringLiteral("\n\nL'archivio è stato convertito il %1 alle %2 da %3.")
                    .arg(mark.when.toString(QStringLiteral("dd/MM/yyyy")), mark.when.toString(QStringLiteral("HH:mm")),
                         mark.who);
    return text + QStringLiteral("\n\nConfermi?");
}

} // namespace

bool ConvertArchiveToEuro(objdb::DataContext &context)
{
    const QString title = QStringLiteral("Conversione Valuta");
    QWidget *window = QApplication::activeWindow();
    objdb::Database &database = *context.database();
    if (RefuseWhileOtherDesksIn(database.path(), window))
        return false;
    ArchiveFacts::AdoptConversionSetting(database);
    const ArchiveFacts::ConversionMark mark = ArchiveFacts::Conversion(database);
    const QString question = mark.converted ? alreadyConvertedQuestion(mark) : QStringLiteral("Confermi?");
    if (!MessageService::askYesNo(question, MessageService::Icon::Question,
                                  mark.converted ? MessageService::Answer::No : MessageService::Answer::Yes, title, window))
        return false;

    frmMessage *progress = frmMessage::instance();
    progress->ShowMsg(QStringLiteral("Conversione archivio in Euro..."), window);
    bool started = false;
    EuroConversion::Outcome outcome;
    try {
        outcome = EuroConversion::Convert(context, [&](int done, int total) {
            if (!started) {
                progress->StartProgress(total, true);
                started = true;
            }
            return progress->Progress(done);
        });
    } catch (const objdb::Error &e) {
        // The archive's own failures (a full disk, a lock) in words, with what became of the archive.
        frmMessage::closeInstance();
        MessageService::inform(QStringLiteral("Conversione interrotta: ") + e.description()
                                   + QStringLiteral("\n\nL'archivio non è stato modificato."),
                               MessageService::Icon::Critical, title, window);
        return false;
    } catch (const std::exception &) {
        const PendingError error = PendingError::current();
        frmMessage::closeInstance();
        ShowErrorReport(QStringLiteral("Conversione interrotta: ") + error.description, error);
        return false;
    }
    frmMessage::closeInstance();
    if (outcome.stopped) {
        MessageService::inform(QStringLiteral("Conversione interrotta: l'archivio non è stato modificato."),
                               MessageService::Icon::Information, title, window);
        return false;
    }
    MessageService::inform(QStringLiteral("Conversione terminata."), MessageService::Icon::None, title, window);
    return true;
}
