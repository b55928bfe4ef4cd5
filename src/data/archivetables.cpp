#include "data/archivefacts.h"
#include "data/tables.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QUuid>

using namespace objdb;

namespace {

const ColumnOptions readOnly{.access = ColumnAccess::ReadOnlyInPanels};
const char kReadOnlyFacts[] = "I dati dell'archivio sono in sola lettura.";

} // namespace

QString InfoArchivio::RefusalText() const
{
    return QString::fromUtf8(kReadOnlyFacts);
}

QString Importazioni::RefusalText() const
{
    return QString::fromUtf8(kReadOnlyFacts);
}

QString InfoArchivio::TableName() const
{
    return ArchiveFacts::kFactsTable;
}

void InfoArchivio::DefineStructure(ColumnCollection &p_objCol, IndexCollection &, ReferenceCollection &)
{
    p_objCol.AddColumn(QStringLiteral("Identita"), TypeText, 38, readOnly);
    p_objCol.AddColumn(QStringLiteral("Convertito"), TypeYesNo, 0, readOnly);
    p_objCol.AddColumn(QStringLiteral("ConvertitoIl"), TypeText, 19, readOnly);
    p_objCol.AddColumn(QStringLiteral("ConvertitoDa"), TypeText, kOperatorNameLength, readOnly);
}

void InfoArchivio::DefineIdentity(Identity &p_objIdentity)
{
    p_objIdentity.Caption = QStringLiteral("Dati dell'archivio");
}

// A new archive and an archive of an older structure alike get their identity here, in the
// transaction that makes the table.
void InfoArchivio::OnUpdatedTableStruct(DataSource &p_objDS, double, double, bool p_blnCreated)
{
    if (!p_blnCreated)
        return;
    p_objDS.context()->database()->exec(
        QStringLiteral("INSERT INTO %1 (Identita, Convertito) VALUES (?, 0)").arg(sqlName(ArchiveFacts::kFactsTable)),
        {QUuid::createUuid().toString(QUuid::WithoutBraces)});
}

QString Importazioni::TableName() const
{
    return ArchiveFacts::kImportsTable;
}

void Importazioni::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    p_objCol.AddColumn(QStringLiteral("Quando"), TypeText, 19, readOnly);
    p_objCol.AddColumn(QStringLiteral("Operatore"), TypeText, kOperatorNameLength, readOnly);
    p_objCol.AddColumn(QStringLiteral("Origine"), TypeText, 255, readOnly);
    p_objCol.AddColumn(QStringLiteral("FileOrigine"), TypeLongText, 0, readOnly);
    p_objCol.AddColumn(QStringLiteral("Tabella"), TypeText, 64, readOnly);
    p_objCol.AddColumn(QStringLiteral("Righe"), TypeInteger, 0, readOnly);
    p_objCol.AddColumn(QStringLiteral("Dettaglio"), TypeLongText, 0, readOnly);
    // An import looks up the earlier imports of its source.
    p_objInx.AddIndex(QStringLiteral("Origine"), false);
}

