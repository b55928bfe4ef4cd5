#include "output/reports.h"

namespace output {

namespace {

const QString kDateFormat = QStringLiteral("d/MM/yyyy");
const QString kAmountFormat = QStringLiteral("#,#0.00");
const QString kCodeFormat = QStringLiteral("#,##");

objdb::report::Column column(const char *title, const char *field, const QString &format, double weight,
                             bool summed = false)
{
    return {QString::fromUtf8(title), QString::fromLatin1(field), format, weight, summed};
}

objdb::report::Design movimenti(const QString &nodeKey)
{
    objdb::report::Design d;
    d.name = QStringLiteral("drMovimenti");
    d.landscape = true; // nine columns of amounts and codes
    d.header = {nodeKey == QLatin1String("Sospesi") ? QStringLiteral("Movimenti in sospeso") : QStringLiteral("Movimenti"),
                QStringLiteral("AL %d")};
    d.columns = {
        column("Data", "Data", kDateFormat, 1.0),
        column("Descrizione", "Descrizione", QString(), 2.6),
        column("Importo", "Importo", kAmountFormat, 1.3),
        column("Sconto", "Sconto", kAmountFormat, 1.1, true),
        column("Saldo Cassa", "SaldoCassa", kAmountFormat, 1.3, true),
        column("Cod. Comp.", "Cod_Compagnia", kCodeFormat, 1.0),
        column("Cod. Collab.", "Cod_Collaboratore", kCodeFormat, 1.0),
        column("Saldo Banca", "SaldoBanca", kAmountFormat, 1.3, true),
        column("Importo In Sospeso", "ImportoInSospeso", kAmountFormat, 1.6, true),
    };
    d.markField = QStringLiteral("TipoSospeso");
    d.totalsLabel = QStringLiteral("Totali:");
    d.notes = {QStringLiteral("* = Incasso Sospeso")};
    return d;
}

objdb::report::Design movimentiCollaboratori(const QString &period)
{
    objdb::report::Design d;
    d.name = QStringLiteral("drMovimentiCollaboratori");
    d.header = {QStringLiteral("Movimenti Per Collaboratore"), period, QStringLiteral("(Escluso sospesi e Cod. 00)")};
    d.columns = {
        column("Data", "Data", kDateFormat, 1.0),
        column("Descrizione", "Descrizione", QString(), 3.2),
        column("Importo", "Importo", kAmountFormat, 1.4, true),
        column("Cod. Comp.", "Cod_Compagnia", kCodeFormat, 0.9),
        column("Cod. Collab.", "Cod_Collaboratore", kCodeFormat, 0.9),
    };
    d.markField = QStringLiteral("TipoSospeso");
    d.totalsLabel = QStringLiteral("Totali:");
    d.notes = {QStringLiteral("* = Incasso Sospeso")}; // its rows carry the mark too
    return d;
}

} // namespace

ReportKind ReportFor(const QString &tableName, const QString &nodeKey)
{
    if (tableName != QLatin1String("Pagamenti"))
        return ReportKind::None;
    if (nodeKey == QLatin1String("Statistiche") || nodeKey == QLatin1String("Sospesi"))
        return ReportKind::Movimenti;
    if (nodeKey == QLatin1String("Mov. per Collaboratori"))
        return ReportKind::MovimentiCollaboratori;
    return ReportKind::None;
}

objdb::report::Design DesignFor(ReportKind report, const QString &nodeKey, const QString &period, const QDate &printDate)
{
    objdb::report::Design d =
        report == ReportKind::MovimentiCollaboratori ? movimentiCollaboratori(period) : movimenti(nodeKey);
    d.title = nodeKey;
    d.printDate = printDate;
    return d;
}

} // namespace output
