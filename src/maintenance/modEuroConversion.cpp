#include "maintenance/modEuroConversion.h"

#include "maintenance/outstanding.h"
#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QApplication>
#include <QSqlQuery>

namespace EuroConversion {

namespace {

// The fixed rate, in ten-thousandths.
qint64 rateUnits()
{
    static const qint64 units = objdb::Amount::parseDecimal(QStringLiteral("1936.27"))->units();
    return units;
}

struct Slice {
    QString sql;
    QVariantList binds;
};

// Every statement of the run, slice by slice: the amounts of each table, then the movements'
// outstanding amounts from their converted parts.
QList<Slice> slices(objdb::DataContext &context, objdb::Database &db)
{
    const auto &dialect = objdb::SqlDialect::sqlite();
    QList<Slice> all;
    auto &tables = context.Tables();
    for (int i = 1; i <= tables.Count(); ++i) {
        const objdb::Table &table = tables.Item(i);
        QStringList sets;
        for (int c = 1; c <= table.ColumnCount(); ++c) {
            const objdb::ColumnInfo column = table.Column(c);
            if (column.Type == objdb::TypeAmount)
                sets.append(QStringLiteral("%1 = %2(%1, %3)")
                                .arg(objdb::sqlName(column.Name), dialect.amountDivideFunction())
                                .arg(rateUnits()));
        }
        if (sets.isEmpty())
            continue;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE OID BETWEEN ? AND ?")
                                .arg(objdb::sqlName(table.Name()), sets.join(QStringLiteral(", ")));
        for (const auto &range : KeyRanges::Of(db, table.Name(), KeyRanges::kSpan))
            all.append({sql, {range.first, range.last}});
    }
    for (const auto &range : KeyRanges::Of(db, QStringLiteral("Movimenti"), KeyRanges::kSpan))
        all.append({Outstanding::updateSql(), Outstanding::binds(range.first, range.last)});
    return all;
}

} // namespace

Outcome Convert(objdb::DataContext &context, const KeyRanges::Step &step)
{
    const auto db = context.database();
    objdb::TransactionGuard transaction(*db);
    const QList<Slice> work = slices(context, *db);
    for (int i = 0; i < work.size(); ++i) {
        db->exec(work[i].sql, work[i].binds);
        if (!step(i + 1, int(work.size())))
            return {true};
    }
    transaction.commit();
    return {};
}

} // namespace EuroConversion

void ConvertArchiveToEuro()
{
    const QString title = QStringLiteral("Conversione Valuta");
    QWidget *window = QApplication::activeWindow();
    const bool converted = TextToBool(Settings::readText(QStringLiteral("Configuration"),
                                                         QStringLiteral("CurrencyConverted"), QStringLiteral("False")));
    const QString question = converted ? QStringLiteral("CONVERSIONE GIA' EFFETTUATA!!!\n\nConfermi?")
                                       : QStringLiteral("Confermi?");
    if (!MessageService::askYesNo(question, MessageService::Icon::Question,
                                  converted ? MessageService::Answer::No : MessageService::Answer::Yes, title, window))
        return;

    frmMessage *progress = frmMessage::instance();
    progress->ShowMsg(QStringLiteral("Conversione archivio in Euro..."), window);
    bool started = false;
    EuroConversion::Outcome outcome;
    try {
        outcome = EuroConversion::Convert(*modGlobal::g_objDataContext, [&](int done, int total) {
            if (!started) {
                progress->StartProgress(total, true);
                started = true;
            }
            return progress->Progress(done);
        });
    } catch (const std::exception &) {
        const PendingError error = PendingError::current();
        frmMessage::closeInstance();
        ShowErrorReport(QStringLiteral("Conversione interrotta: ") + error.description, error);
        return;
    }
    frmMessage::closeInstance();
    if (outcome.stopped)
        return;
    Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConverted"), QStringLiteral("True"));
    MessageService::inform(QStringLiteral("Conversione terminata."), MessageService::Icon::None, title, window);
}
