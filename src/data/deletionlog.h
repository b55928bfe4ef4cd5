#pragma once
// The log of deleted movements and payments, kept in the archive beside the six tables: when, who,
// which command, the row's values, and for a payment its movement and its four amounts in amount
// columns of their own (so a currency conversion converts them with every other amount, and the
// check of the archive can count the amounts a purge removed).

#include <QString>
#include <QVariantList>

namespace objdb {
class DataContext;
struct TableDef;
}

namespace DeletionLog {

inline const QString kTable = QStringLiteral("Eliminazioni");
// The commands that write to the log.
inline const QString kRecordCommand = QStringLiteral("Elimina record");
inline const QString kPurgeCommand = QStringLiteral("Eliminazione pagamenti saldati");
inline const QString kRecalculateCommand = QStringLiteral("Ricalcola");

// Logs the rows of `table` (aliased t in `condition`) that `condition` selects, in one statement,
// under the context's operator and the current time. `binds` are the condition's. Returns how many
// rows were logged.
int LogRows(objdb::DataContext &context, const objdb::TableDef &table, const QString &command,
            const QString &condition, const QVariantList &binds);

// SQL text of an amount expression (integer ten-thousandths) and of a yes/no expression as the log
// writes them: "-12,3400", "Sì"; empty for Null.
QString AmountTextSql(const QString &expression);
QString FlagTextSql(const QString &expression);

// The time a log row is written with.
QString now();

} // namespace DeletionLog
