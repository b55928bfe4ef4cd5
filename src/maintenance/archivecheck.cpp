#include "maintenance/archivecheck.h"

#include "data/deletionlog.h"
#include "maintenance/outstanding.h"
#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/sqldialect.h"

#include <QSqlQuery>
#include <limits>

using objdb::Amount;

namespace ArchiveCheck {

namespace {

constexpr qint64 kAllFirst = std::numeric_limits<qint64>::min();
constexpr qint64 kAllLast = std::numeric_limits<qint64>::max();

QString amountText(const QVariant &stored)
{
    return stored.isNull() ? QStringLiteral("vuoto") : Amount::fromUnits(stored.toLongLong()).toDisplayString(4);
}

QString flagText(const QVariant &stored)
{
    return stored.isNull() ? QStringLiteral("vuoto") : stored.toInt() == 1 ? QStringLiteral("Sì") : QStringLiteral("No");
}

// Lists the first findings of a query and counts the rest.
class Findings {
public:
    explicit Findings(QStringList &lines) : m_lines(lines) {}
    template <typename Describe>
    int collect(QSqlQuery &q, Describe describe)
    {
        int found = 0;
        while (q.next()) {
            if (++found <= kListedPerKind)
                m_lines.append(describe(q));
        }
        if (found > kListedPerKind)
            m_lines.append(QStringLiteral("... e altre %1 differenze dello stesso tipo.").arg(found - kListedPerKind));
        return found;
    }

private:
    QStringList &m_lines;
};

void checkFile(objdb::Database &db, QStringList &lines)
{
    QStringList findings;
    for (const QString &finding : db.integrityFindings())
        findings.append(QStringLiteral("File dell'archivio: ") + finding);
    // The engine's findings are its own words; what to do about them is ours.
    if (!findings.isEmpty())
        lines += QStringList{kFileDamagedLine} + findings;
}

int checkMovements(objdb::Database &db, Findings &findings)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT x.OID, x.ImportoInSospeso, x.Atteso, x.Pagato, x.PagatoAtteso FROM (%1) "
                                         "AS x WHERE %2 ORDER BY x.OID")
                              .arg(Outstanding::expectedSql(), Outstanding::mismatchCondition()),
                          Outstanding::binds(kAllFirst, kAllLast));
    return findings.collect(q, [](QSqlQuery &r) {
        return QStringLiteral("Movimento %1: importo in sospeso %2, dovrebbe essere %3; pagato %4, dovrebbe essere %5.")
            .arg(r.value(0).toString(), amountText(r.value(1)), amountText(r.value(2)), flagText(r.value(3)),
                 flagText(r.value(4)));
    });
}

int checkOrphanPayments(objdb::Database &db, Findings &findings)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT p.OID, p.OID_Movimenti FROM Pagamenti AS p WHERE NOT EXISTS "
                                         "(SELECT 1 FROM Movimenti AS m WHERE m.OID = p.OID_Movimenti) ORDER BY p.OID"));
    return findings.collect(q, [](QSqlQuery &r) {
        return r.value(1).isNull()
            ? QStringLiteral("Pagamento %1: senza movimento.").arg(r.value(0).toString())
            : QStringLiteral("Pagamento %1: il movimento %2 non esiste.").arg(r.value(0).toString(), r.value(1).toString());
    });
}

int checkReferences(objdb::DataContext &context, objdb::Database &db, Findings &findings)
{
    int found = 0;
    for (const auto &table : context.tableDefs()) {
        for (const auto &reference : table.references) {
            QSqlQuery q = db.exec(QStringLiteral("SELECT t.OID, t.%1 FROM %2 AS t WHERE t.%1 IS NOT NULL AND NOT EXISTS "
                                                 "(SELECT 1 FROM %3 AS r WHERE r.OID = t.%1) ORDER BY t.OID")
                                      .arg(objdb::sqlName(reference.name), objdb::sqlName(table.name),
                                           objdb::sqlName(reference.table)));
            found += findings.collect(q, [&](QSqlQuery &r) {
                return QStringLiteral("%1 %2: %3 fa riferimento a una riga di %4 che non esiste (%5).")
                    .arg(table.name, r.value(0).toString(), reference.name, reference.table, r.value(1).toString());
            });
        }
    }
    return found;
}

} // namespace

Report Run(objdb::DataContext &context)
{
    const auto db = context.database();
    Report report;
    checkFile(*db, report.lines);
    Findings findings(report.lines);
    report.movementMismatches = checkMovements(*db, findings);
    checkOrphanPayments(*db, findings);
    checkReferences(context, *db, findings);
    report.clean = report.lines.isEmpty();
    if (report.clean)
        report.lines.append(kCleanLine);
    return report;
}

int Recalculate(objdb::DataContext &context)
{
    const auto db = context.database();
    objdb::TransactionGuard transaction(*db);
    // What was and what is set, logged before it changes.
    db->exec(QStringLiteral("INSERT INTO Eliminazioni (Quando, Operatore, Comando, Tabella, OID_Eliminato, Valori) "
                            "SELECT ?, ?, ?, 'Movimenti', x.OID, "
                            "'ImportoInSospeso=' || %3 || ' -> ' || %4 || '; Pagato=' || %5 || ' -> ' || %6 "
                            "FROM (%1) AS x WHERE %2")
                 .arg(Outstanding::expectedSql(), Outstanding::mismatchCondition(),
                      DeletionLog::AmountTextSql(QStringLiteral("x.ImportoInSospeso")),
                      DeletionLog::AmountTextSql(QStringLiteral("x.Atteso")),
                      DeletionLog::FlagTextSql(QStringLiteral("x.Pagato")),
                      DeletionLog::FlagTextSql(QStringLiteral("x.PagatoAtteso"))),
             QVariantList{DeletionLog::now(), context.UserName, DeletionLog::kRecalculateCommand}
                 + Outstanding::binds(kAllFirst, kAllLast));
    const int changed = db->exec(Outstanding::updateSql(), Outstanding::binds(kAllFirst, kAllLast)).numRowsAffected();
    transaction.commit();
    return changed;
}

} // namespace ArchiveCheck
