#pragma once
// How the rows of one table are seen: the joins to its parent and referenced tables, the fields
// they offer, and the resolution of field names written in criteria, field lists and sort orders.

#include "objdb/definition.h"
#include "objdb/query/criterion.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace objdb {

struct FieldDef {
    enum class Origin {
        Key,          // OID
        Own,          // a column of the table
        ParentLink,   // OID_<Parent>
        Parent,       // a column of the parent row, under its plain name
        Reference,    // a reference, shown by the referenced row's display column
        ReferenceKey, // Cod_<reference>: the referenced row's key column
        Joined,       // a column of a joined table named with its table ("TipiOperazione.TipoSospeso")
        Computed,     // an expression of the field list
    };

    QString name;
    QString caption;
    int type = 0;
    int size = 0;
    bool noOrder = false;
    int display = 1;
    QString format;
    QString sql;        // expression in the SELECT
    Origin origin = Origin::Own;
    QString column;     // underlying column for Own and Parent, the reference name for Reference*
    bool readOnly = false;
    bool secret = false;
    bool privateField = false;
};

// The visible fields of one field list, with the values of the placeholders of its computed fields.
struct FieldSet {
    QList<FieldDef> fields;
    QVariantList binds;
    // The SELECT list with each plain column once (field lists often name a column again under an
    // alias); computed fields keep their own entry, so that the binds stay in order.
    QStringList selectColumns;
    QList<int> columnOf;          // per field, its entry in selectColumns
    QList<int> firstFieldOf;     // per entry of selectColumns, the first field reading it
};

// Immutable once built; the data context keeps one per table and shares it with every data source.
class ViewSchema {
public:
    // tables: every table read, where the joined parent and referenced tables are found.
    // dialect: the SQL of the archive the rows are read from.
    ViewSchema(const QList<TableDef> &tables, const TableDef &table, const SqlDialect &dialect);
    const SqlDialect &dialect() const { return m_dialect; }

    const TableDef &table() const { return m_table; }
    const TableDef *parentTable() const { return m_parent; }
    // FROM clause with every join the table's relations offer.
    const QString &fromClause() const { return m_from; }
    // The fields "*" stands for.
    const QList<FieldDef> &starFields() const { return m_star; }

    // Resolves a name as written in a criterion; extra fields (a field list's) are looked up first.
    std::optional<query::FieldInfo> resolve(const QString &name, const QList<FieldDef> &extra = {}) const;
    // The field a plain or qualified name designates, for a field list item.
    std::optional<FieldDef> fieldFor(const QString &name) const;
    // Builds the visible fields of a field list ("" = "*"); binds of computed fields are appended.
    QList<FieldDef> fieldsFor(const QString &fieldList, QVariantList &binds) const;
    // fieldsFor, remembered per field list text: views open with the same few lists again and again.
    std::shared_ptr<const FieldSet> fieldSet(const QString &fieldList) const;

    static QString captionFor(const QString &name);

private:
    struct Join {
        QString alias;
        const TableDef *table = nullptr;
        QString viaReference; // reference name that leads to it
        bool fromParent = false;
    };

    FieldDef makeColumnField(const ColumnDef &column, const QString &sqlPrefix, FieldDef::Origin origin) const;
    void addReferenceFields(const ReferenceDef &ref, const QString &alias);
    const Join *joinForTable(const QString &tableName) const;

    const QList<TableDef> &m_tables;
    const TableDef &m_table;
    const SqlDialect &m_dialect;
    const TableDef *m_parent = nullptr;
    QString m_from;
    QList<Join> m_joins;
    QList<FieldDef> m_star;
    mutable QHash<QString, std::shared_ptr<const FieldSet>> m_fieldSets;
};

} // namespace objdb
