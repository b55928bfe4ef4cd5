#include "data/tables.h"

#include "data/storedpassword.h"
#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

using namespace objdb;

namespace {

// A key that rows, reports and the import find rows by: required and trimmed.
constexpr ColumnOptions kKeyColumn{.required = true};

const QString kAdministrator = QStringLiteral("Amministratore");

// Refuses the operation on the row whose key column holds the protected value (exact comparison).
void protectRow(DataSource &ds, const QString &column, const QString &protectedValue, const QString &message)
{
    const QVariant value = ds.GetField(column);
    if (!isNull(value) && value.toString() == protectedValue)
        ds.CancelOperation(message);
}

// Whatever writes it (the editing panel, the login, any data source), a password is stored as its
// hash; a hash written, such as one read from the row, stays as it is.
void storePasswordHashed(DataSource &ds)
{
    const QVariant value = ds.GetField(QStringLiteral("Password"));
    if (isNull(value) || isPasswordHash(value.toString()))
        return;
    ds.SetField(QStringLiteral("Password"), hashPassword(value.toString()));
}

// Two operators whose names differ only in case or blanks would be one person in the list, and
// "amministratore" would look like the administrator without his rights.
void refuseNameOfAnotherOperator(DataSource &ds)
{
    const QVariant name = ds.GetField(QStringLiteral("Nome"));
    if (isNull(name))
        return;
    const QVariant oid = ds.GetField(QStringLiteral("OID"));
    objdb::Database &database = *ds.context()->database();
    const QString compared = QStringLiteral("REPLACE(%1(%2), ' ', '')")
                                 .arg(database.dialect().foldFunction(), sqlName(QStringLiteral("Nome")));
    QSqlQuery other = database.exec(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 <> ? AND %4 = ?%5")
            .arg(sqlName(QStringLiteral("Nome")), sqlName(QStringLiteral("Operatori")), sqlName(QStringLiteral("OID")),
                 compared, database.dialect().limitClause(1)),
        {isNull(oid) ? 0 : oid.toLongLong(), foldText(name.toString()).remove(QLatin1Char(' '))});
    if (other.next())
        ds.CancelOperation(QStringLiteral("Esiste già l'operatore %1: i nomi degli operatori non possono differire "
                                          "solo per maiuscole, minuscole o spazi.")
                               .arg(other.value(0).toString()));
}

} // namespace

// ---- Compagnie -----------------------------------------------------------------------------------

void Compagnie::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    p_objCol.AddColumn(QStringLiteral("Codice"), TypeText, 16, kKeyColumn);
    p_objCol.AddColumn(QStringLiteral("RagioneSociale"), TypeText, 64);
    p_objCol.AddColumn(QStringLiteral("Indirizzo"), TypeText, 64);
    p_objInx.AddIndex(QStringLiteral("RagioneSociale"), false);
    p_objInx.AddIndex(QStringLiteral("Codice"), true);
}

void Compagnie::OnNewRow(DataSource &p_objDS)
{
    p_objDS.SetField(QStringLiteral("Indirizzo"), QString(""));
}

// ---- Operatori -----------------------------------------------------------------------------------

void Operatori::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    // The name is the login's key and is copied into every payment the operator records.
    p_objCol.AddColumn(QStringLiteral("Nome"), TypeText, kOperatorNameLength, kKeyColumn);
    // Wide enough for a salted password hash.
    p_objCol.AddColumn(QStringLiteral("Password"), TypeText, 128, {.visibility = ColumnVisibility::Secret});
    p_objInx.AddIndex(QStringLiteral("Nome"), true);
}

void Operatori::DefineIdentity(Identity &p_objIdentity)
{
    p_objIdentity.Version = 1.1;
}

void Operatori::OnNewRow(DataSource &p_objDS)
{
    p_objDS.SetField(QStringLiteral("Password"), QString(""));
}

// The administrator keeps his name: without it no operator would have his rights.
void Operatori::OnBeforeUpdateField(DataSource &p_objDS, const QString &p_strColumnName)
{
    if (p_strColumnName == QLatin1String("Nome"))
        protectRow(p_objDS, QStringLiteral("Nome"), kAdministrator,
                   QStringLiteral("Non è possibile rinominare l'utente Amministratore."));
}

void Operatori::OnUpdateField(DataSource &p_objDS, const QString &p_strChangedColumnName)
{
    if (p_strChangedColumnName == QLatin1String("Password"))
        storePasswordHashed(p_objDS);
    else if (p_strChangedColumnName == QLatin1String("Nome"))
        refuseNameOfAnotherOperator(p_objDS);
}

void Operatori::OnDeleteRow(DataSource &p_objDS)
{
    protectRow(p_objDS, QStringLiteral("Nome"), kAdministrator,
               QStringLiteral("Non è possibile eliminare l'utente Amministratore."));
}

void Operatori::OnUpdatedTableStruct(DataSource &p_objDS, double, double, bool p_blnCreated)
{
    if (p_blnCreated)
        p_objDS.AddRow({QStringLiteral("Nome"), kAdministrator});
}

// ---- TipiOperazione ------------------------------------------------------------------------------

void TipiOperazione::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    p_objCol.AddColumn(QStringLiteral("Codice"), TypeText, 4, kKeyColumn);
    p_objCol.AddColumn(QStringLiteral("Descrizione"), TypeText, 64);
    p_objCol.AddColumn(QStringLiteral("TipoSospeso"), TypeYesNo, 0, {.access = ColumnAccess::ReadOnlyInPanels});
    p_objInx.AddIndex(QStringLiteral("Codice"), true);
}

void TipiOperazione::DefineIdentity(Identity &p_objIdentity)
{
    p_objIdentity.Caption = QStringLiteral("Tipi Operazione");
    p_objIdentity.Version = 1.1;
}

void TipiOperazione::OnDeleteRow(DataSource &p_objDS)
{
    protectRow(p_objDS, QStringLiteral("Codice"), QStringLiteral("07"),
               QStringLiteral("Non è possibile eliminare il tipo Incasso Sospeso"));
}

void TipiOperazione::OnUpdatedTableStruct(DataSource &p_objDS, double, double p_dblOldVersion, bool p_blnCreated)
{
    if (p_blnCreated) {
        static const struct {
            const char *code;
            const char *description;
            bool outstanding;
        } rows[] = {
            {"01", "Incasso", false},       {"02", "Rimborso", false},           {"03", "Spese Postali", false},
            {"04", "Spese Varie", false},   {"05", "Entrate Varie", false},      {"06", "Incasso Anticipato", false},
            {"07", "Incasso Sospeso", true},
        };
        for (const auto &row : rows)
            p_objDS.AddRow({QStringLiteral("Codice"), QString::fromLatin1(row.code), QStringLiteral("Descrizione"),
                            QString::fromLatin1(row.description), QStringLiteral("TipoSospeso"), row.outstanding});
        return;
    }
    if (p_dblOldVersion == 1.0 && p_objDS.FindFirst(QStringLiteral("Codice='07'"))) {
        p_objDS.SetField(QStringLiteral("TipoSospeso"), true);
        p_objDS.SaveRow();
    }
}

// ---- Collaboratori -------------------------------------------------------------------------------

void Collaboratori::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &)
{
    p_objCol.AddColumn(QStringLiteral("Codice"), TypeText, 8, kKeyColumn);
    p_objCol.AddColumn(QStringLiteral("Nome"), TypeText, 32);
    p_objInx.AddIndex(QStringLiteral("Codice"), true);
    p_objInx.AddIndex(QStringLiteral("Nome"), true);
}

void Collaboratori::OnDeleteRow(DataSource &p_objDS)
{
    protectRow(p_objDS, QStringLiteral("Nome"), QStringLiteral("Non impostato"),
               QStringLiteral("Non è possibile eliminare la voce 'Non impostato'."));
}

void Collaboratori::OnUpdatedTableStruct(DataSource &p_objDS, double, double, bool p_blnCreated)
{
    if (p_blnCreated)
        p_objDS.AddRow({QStringLiteral("Codice"), QStringLiteral("00"), QStringLiteral("Nome"), QStringLiteral("Compagnia")});
}
