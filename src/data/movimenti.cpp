#include "data/tables.h"

#include "data/deletionlog.h"
#include "data/outstandingrule.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"
#include "objdb/types.h"

using namespace objdb;
using OutstandingRule::AmountOrZero;

namespace {

bool changesNetAmount(const QString &column)
{
    return column == QLatin1String("Sconto") || column == QLatin1String("Importo");
}

Amount netAmount(DataSource &ds)
{
    return OutstandingRule::NetAmount(ds.GetField(QStringLiteral("Importo")), ds.GetField(QStringLiteral("Sconto")));
}

Amount outstanding(DataSource &ds)
{
    return AmountOrZero(ds.GetField(QStringLiteral("ImportoInSospeso")));
}

} // namespace

void UpdatePaidFlag(DataSource &p_objDS)
{
    p_objDS.SetField(QStringLiteral("Pagato"), OutstandingRule::IsPaid(p_objDS.GetField(QStringLiteral("ImportoInSospeso"))));
}

void LogDeletedRow(DataSource &p_objDS)
{
    DeletionLog::LogRows(*p_objDS.context(), p_objDS.tableDef(), DeletionLog::kRecordCommand,
                         QStringLiteral("t.OID = ?"), {p_objDS.Bookmark()});
}

void Movimenti::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &p_objRef)
{
    p_objCol.AddColumn(QStringLiteral("Descrizione"), TypeText, 64);
    p_objCol.AddColumn(QStringLiteral("Importo"), TypeAmount, 0);
    p_objCol.AddColumn(QStringLiteral("ScontoPrivato"), TypeAmount, 0, {.visibility = ColumnVisibility::Private});
    p_objCol.AddColumn(QStringLiteral("Sconto"), TypeAmount, 0);
    p_objCol.AddColumn(QStringLiteral("ImportoInSospeso"), TypeAmount, 0, {.access = ColumnAccess::ReadOnlyInPanels});
    p_objCol.AddColumn(QStringLiteral("Pagato"), TypeYesNo, 0, {.access = ColumnAccess::ReadOnlyInPanels});
    p_objRef.AddReference(QStringLiteral("Compagnia"), QStringLiteral("Compagnie"), QStringLiteral("Codice"),
                          QStringLiteral("RagioneSociale"));
    p_objRef.AddReference(QStringLiteral("Collaboratore"), QStringLiteral("Collaboratori"), QStringLiteral("Codice"),
                          QStringLiteral("Nome"));
    p_objInx.AddIndex(QStringLiteral("Descrizione"), false);
    p_objInx.AddIndex(QStringLiteral("Importo"), false);
    p_objInx.AddIndex(QStringLiteral("Pagato"), false);
}

void Movimenti::OnNewRow(DataSource &p_objDS)
{
    const QVariant zero = QVariant::fromValue(Amount());
    p_objDS.SetField(QStringLiteral("Sconto"), zero);
    p_objDS.SetField(QStringLiteral("ImportoInSospeso"), zero);
    p_objDS.SetField(QStringLiteral("ScontoPrivato"), zero);
    // Nothing is owed yet: a movement saved without an amount is covered, as its outstanding 0 says.
    UpdatePaidFlag(p_objDS);
}

// Takes the old net amount out of the outstanding amount before Importo or Sconto changes.
void Movimenti::OnBeforeUpdateField(DataSource &p_objDS, const QString &p_strColumnName)
{
    if (!changesNetAmount(p_strColumnName))
        return;
    p_objDS.SetField(QStringLiteral("ImportoInSospeso"), QVariant::fromValue(outstanding(p_objDS) - netAmount(p_objDS)));
}

// Puts the new net amount in, keeping what payments already covered. An outstanding amount changed
// by the archive (another desk's payments applied at save) only needs its paid flag.
void Movimenti::OnUpdateField(DataSource &p_objDS, const QString &p_strChangedColumnName)
{
    if (p_strChangedColumnName == QLatin1String("ImportoInSospeso")) {
        UpdatePaidFlag(p_objDS);
        return;
    }
    if (!changesNetAmount(p_strChangedColumnName))
        return;
    // An emptied discount is no discount.
    if (p_strChangedColumnName == QLatin1String("Sconto") && isNull(p_objDS.GetField(p_strChangedColumnName)))
        p_objDS.SetField(p_strChangedColumnName, QVariant::fromValue(Amount()));
    p_objDS.SetField(QStringLiteral("ImportoInSospeso"), QVariant::fromValue(outstanding(p_objDS) + netAmount(p_objDS)));
    UpdatePaidFlag(p_objDS);
}

// The deletion is logged in its own transaction, so a refused deletion (payments still attached)
// leaves no log row.
void Movimenti::OnDeleteRow(DataSource &p_objDS)
{
    LogDeletedRow(p_objDS);
}
