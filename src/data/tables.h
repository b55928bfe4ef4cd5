#pragma once
// The table classes: each defines its table and answers the data events of its rows.

#include "objdb/amount.h"
#include "objdb/definition.h"

// The longest operator name; every column that keeps a copy of it is as wide.
inline constexpr int kOperatorNameLength = 64;

// Base of the table classes: every table receives its own data events.
class TableClass : public objdb::itfDefTable, public objdb::itfSetData {
public:
    void DefineDefaultData(objdb::itfSetData *&p_objSetData) override { p_objSetData = this; }
};

// A table the library may not write: every new row, change and deletion is refused with the
// table's own reason. Its rows are written by the program's own statements only.
class ReadOnlyTable : public TableClass {
public:
    void OnNewRow(objdb::DataSource &p_objDS) override;
    void OnBeforeUpdateField(objdb::DataSource &p_objDS, const QString &p_strColumnName) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;

protected:
    virtual QString RefusalText() const = 0;
};

class Compagnie : public TableClass {
public:
    QString TableName() const override { return QStringLiteral("Compagnie"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void OnNewRow(objdb::DataSource &p_objDS) override;
};

class Operatori : public TableClass {
public:
    QString TableName() const override { return QStringLiteral("Operatori"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void DefineIdentity(objdb::Identity &p_objIdentity) override;
    void OnNewRow(objdb::DataSource &p_objDS) override;
    void OnBeforeUpdateField(objdb::DataSource &p_objDS, const QString &p_strColumnName) override;
    void OnUpdateField(objdb::DataSource &p_objDS, const QString &p_strChangedColumnName) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;
    void OnUpdatedTableStruct(objdb::DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                              bool p_blnCreated) override;
};

class TipiOperazione : public TableClass {
public:
    QString TableName() const override { return QStringLiteral("TipiOperazione"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void DefineIdentity(objdb::Identity &p_objIdentity) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;
    void OnUpdatedTableStruct(objdb::DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                              bool p_blnCreated) override;
};

class Collaboratori : public TableClass {
public:
    QString TableName() const override { return QStringLiteral("Collaboratori"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;
    void OnUpdatedTableStruct(objdb::DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                              bool p_blnCreated) override;
};

class Movimenti : public TableClass {
public:
    QString TableName() const override { return QStringLiteral("Movimenti"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void OnNewRow(objdb::DataSource &p_objDS) override;
    void OnBeforeUpdateField(objdb::DataSource &p_objDS, const QString &p_strColumnName) override;
    void OnUpdateField(objdb::DataSource &p_objDS, const QString &p_strChangedColumnName) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;
};

class Pagamenti : public TableClass {
public:
    // The index of the payments by movement, then by date.
    static constexpr const char *kByMovementAndDateIndex = "Pagamenti_OID_Movimenti_Data_idx";

    QString TableName() const override { return QStringLiteral("Pagamenti"); }
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void DefineIdentity(objdb::Identity &p_objIdentity) override;
    void OnUpdatedTableStruct(objdb::DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                              bool p_blnCreated) override;
    void OnNewRow(objdb::DataSource &p_objDS) override;
    void OnBeforeUpdateField(objdb::DataSource &p_objDS, const QString &p_strColumnName) override;
    void OnUpdateField(objdb::DataSource &p_objDS, const QString &p_strChangedColumnName) override;
    void OnDeleteRow(objdb::DataSource &p_objDS) override;
    void OnSelectParent(objdb::DataSource &p_objDS, objdb::DataSource &p_objParentDS) override;
    void OnSelectReference(objdb::DataSource &p_objDS, objdb::DataSource &p_objReferenceDS,
                           const QString &p_strReferenceName) override;
    // The amounts typed beyond what the movement had outstanding, told and confirmed (No first).
    QString OnRowWarning(objdb::DataSource &p_objDS) override;
    bool OnConfirmSave(objdb::DataSource &p_objDS, const QString &p_strWarning) override;

    // Gives the payment's amounts back to its movement.
    static void RipristinaSospeso(objdb::DataSource &p_objDS);
    // Charges the payment's amounts to its movement.
    static void CalcolaSospeso(objdb::DataSource &p_objDS);
};

// The log of deleted movements and payments (data/deletionlog.h writes it). Nobody edits it: the
// library's writes are refused, so it holds only what the deletions logged.
class Eliminazioni : public ReadOnlyTable {
public:
    QString TableName() const override;
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void DefineIdentity(objdb::Identity &p_objIdentity) override;

protected:
    QString RefusalText() const override;
};

// What the archive knows of itself (data/archivefacts.h): one row, made with the table, so that an
// archive of an older structure gets its identity when the upgrade adds the table. Read-only.
class InfoArchivio : public ReadOnlyTable {
public:
    QString TableName() const override;
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;
    void DefineIdentity(objdb::Identity &p_objIdentity) override;
    void OnUpdatedTableStruct(objdb::DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                              bool p_blnCreated) override;

protected:
    QString RefusalText() const override;
};

// The imports of other archives' rows this archive received (data/archivefacts.h). Read-only.
class Importazioni : public ReadOnlyTable {
public:
    QString TableName() const override;
    void DefineStructure(objdb::ColumnCollection &p_objCol, objdb::IndexCollection &p_objInx,
                         objdb::ReferenceCollection &p_objRef) override;

protected:
    QString RefusalText() const override;
};

// Recomputes a movement's Pagato from its ImportoInSospeso (covered within one cent).
void UpdatePaidFlag(objdb::DataSource &p_objDS);
// Writes the data source's current row, about to be deleted, to the deletion log.
void LogDeletedRow(objdb::DataSource &p_objDS);
