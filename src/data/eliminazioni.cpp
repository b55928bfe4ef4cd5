#include "data/deletionlog.h"
#include "data/outstandingrule.h"
#include "data/tables.h"

#include "objdb/datasource.h"
#include "objdb/types.h"

using namespace objdb;

QString Eliminazioni::RefusalText() const
{
    return QStringLiteral("Il registro delle eliminazioni è in sola lettura.");
}

QString Eliminazioni::TableName() const
{
    return DeletionLog::kTable;
}

void Eliminazioni::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    const ColumnOptions readOnly{.access = ColumnAccess::ReadOnlyInPanels};
    p_objCol.AddColumn(QStringLiteral("Quando"), TypeText, 19, readOnly);
    p_objCol.AddColumn(QStringLiteral("Operatore"), TypeText, kOperatorNameLength, readOnly);
    p_objCol.AddColumn(QStringLiteral("Comando"), TypeText, 64, readOnly);
    p_objCol.AddColumn(QStringLiteral("Tabella"), TypeText, 32, readOnly);
    p_objCol.AddColumn(QStringLiteral("OID_Eliminato"), TypeInteger, 0, readOnly);
    p_objCol.AddColumn(QStringLiteral("Valori"), TypeLongText, 0, readOnly);
    p_objCol.AddColumn(QStringLiteral("OID_Movimenti"), TypeInteger, 0, readOnly);
    for (const auto &column : OutstandingRule::PaymentColumns())
        p_objCol.AddColumn(column, TypeAmount, 0, readOnly);
    // The check of the archive sums the purged amounts per movement.
    p_objInx.AddIndex(QStringLiteral("OID_Movimenti"), false);
}

void Eliminazioni::DefineIdentity(Identity &p_objIdentity)
{
    p_objIdentity.Caption = QStringLiteral("Registro eliminazioni");
}

