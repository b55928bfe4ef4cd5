#pragma once
// The definition interfaces: the program describes its tables to the library through them,
// and receives the data events of each table.

#include <QList>
#include <QString>
#include <memory>

namespace objdb {

class DataSource;

// How an editing panel treats a column (the definition's first display attribute; the codes are
// the ones definitions pass).
enum class ColumnAccess : int {
    Default = -100,
    ReadOnlyInPanels = 255, // shown, never edited: the table's rules compute it
};

// Where a column is shown (the definition's second display attribute).
enum class ColumnVisibility : int {
    Default = -100,
    Private = 1, // left out of the default field sequence, but can be added
    Secret = 15, // masked in panels; never shown in a grid, an export or a search
};

// A required text column is written trimmed, refuses a blank value, and its row is not stored
// without one.
struct ColumnOptions {
    ColumnAccess access = ColumnAccess::Default;
    ColumnVisibility visibility = ColumnVisibility::Default;
    bool required = false;
};

struct ColumnDef {
    QString name;
    int type = 0;
    int length = 0;
    ColumnOptions options;
};

struct IndexDef {
    QString column;
    bool unique = false;
    QString name;
};

struct ReferenceDef {
    QString name;           // also the stored column (the referenced row's OID)
    QString table;          // referenced table
    QString keyColumn;      // its key column (shown as Cod_<name>)
    QString displayColumn;  // its display column (shown under <name>)
    bool hidden = false;    // left out of the related data offered for a row
};

class ColumnCollection {
public:
    void AddColumn(const QString &name, int type, int length, ColumnOptions options = {});
    const QList<ColumnDef> &items() const { return m_items; }

private:
    QList<ColumnDef> m_items;
};

class IndexCollection {
public:
    void AddIndex(const QString &column, bool unique, const QString &name = QString());
    const QList<IndexDef> &items() const { return m_items; }

private:
    QList<IndexDef> m_items;
};

class ReferenceCollection {
public:
    void AddReference(const QString &name, const QString &table, const QString &keyColumn,
                      const QString &displayColumn, bool hidden = false);
    const QList<ReferenceDef> &items() const { return m_items; }

private:
    QList<ReferenceDef> m_items;
};

struct Identity {
    QString Caption;          // "" = the table name
    QString ParentTable;      // table of this table's parent rows, "" for none
    double Version = 1.0;
    bool DeleteChildrenWithParent = true;
};

// The data events of one table. Every event receives the data source of the row in hand.
// Writes a handler makes on p_objDS raise no further events.
class itfSetData {
public:
    virtual ~itfSetData() = default;
    virtual void OnNewRow(DataSource &p_objDS) { (void)p_objDS; }
    virtual void OnBeforeUpdateField(DataSource &p_objDS, const QString &p_strColumnName)
    { (void)p_objDS; (void)p_strColumnName; }
    virtual void OnUpdateField(DataSource &p_objDS, const QString &p_strChangedColumnName)
    { (void)p_objDS; (void)p_strChangedColumnName; }
    virtual void OnDeleteRow(DataSource &p_objDS) { (void)p_objDS; }
    virtual void OnUpdatedTableStruct(DataSource &p_objDS, double p_dblCurVersion, double p_dblOldVersion,
                                      bool p_blnCreated)
    { (void)p_objDS; (void)p_dblCurVersion; (void)p_dblOldVersion; (void)p_blnCreated; }
    virtual void OnSelectParent(DataSource &p_objDS, DataSource &p_objParentDS) { (void)p_objDS; (void)p_objParentDS; }
    virtual void OnSelectReference(DataSource &p_objDS, DataSource &p_objReferenceDS, const QString &p_strReferenceName)
    { (void)p_objDS; (void)p_objReferenceDS; (void)p_strReferenceName; }
    virtual void OnUpdateRow(DataSource &p_objDS) { (void)p_objDS; }
    // Raised by the editing panel only, after every write: a warning about the row in hand that the
    // panel shows under its inputs; "" for none. A warning is no refusal: the rules stand.
    virtual QString OnRowWarning(DataSource &p_objDS) { (void)p_objDS; return {}; }
    // Raised by the panel's Save when the row has a warning; false keeps the row unsaved and the
    // panel open.
    virtual bool OnConfirmSave(DataSource &p_objDS, const QString &p_strWarning)
    { (void)p_objDS; (void)p_strWarning; return true; }
};

class itfDefTable {
public:
    virtual ~itfDefTable() = default;
    virtual QString TableName() const = 0;
    virtual void DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &p_objRef) = 0;
    virtual void DefineIdentity(Identity &p_objIdentity) { (void)p_objIdentity; }
    // Sets p_objSetData to the object that receives this table's data events (usually itself).
    virtual void DefineDefaultData(itfSetData *&p_objSetData) { p_objSetData = nullptr; }
};

class DatabaseDefinition {
public:
    void AddTable(std::shared_ptr<itfDefTable> table) { m_tables.append(std::move(table)); }
    const QList<std::shared_ptr<itfDefTable>> &tables() const { return m_tables; }

private:
    QList<std::shared_ptr<itfDefTable>> m_tables;
};

class itfDefDatabase {
public:
    virtual ~itfDefDatabase() = default;
    virtual void Define(DatabaseDefinition &p_obj) = 0;
};

// A table as the library knows it after reading the definition.
struct TableDef {
    QString name;
    Identity identity;
    QList<ColumnDef> columns;
    QList<IndexDef> indexes;
    QList<ReferenceDef> references;
    std::shared_ptr<itfDefTable> definition;
    itfSetData *events = nullptr;

    QString caption() const { return identity.Caption.isEmpty() ? name : identity.Caption; }
    const ColumnDef *column(const QString &columnName) const;
    const ReferenceDef *reference(const QString &referenceName) const;
    QString parentLinkColumn() const; // "OID_<Parent>" or ""
};

// The table of that name (any case) among the tables read, or null.
const TableDef *findTableDef(const QList<TableDef> &tables, const QString &name);

} // namespace objdb
