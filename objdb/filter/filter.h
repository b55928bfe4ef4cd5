#pragma once
// A filter of one table's view: conditions "column operator value" joined by And/Or, rendered as
// criterion text in which every value is a literal. It can be kept in the archive's store of saved
// filters, either as a user's complex filter or as a section's predefined selection.

#include "objdb/viewschema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace objdb {

class DataContext;

struct FilterCondition {
    enum class Join { And, Or };
    Join join = Join::And; // with the condition before; not used by the first
    QString column;
    QString op = QStringLiteral("="); // one of Filter::operators()
    QString value;                    // as typed or shown in the grid
    bool operator==(const FilterCondition &) const = default;
};

class Filter {
public:
    // A filter of the table's own fields ("*").
    Filter(std::shared_ptr<DataContext> context, const TableDef &table);
    // A filter of a view's fields: those of its field list too, computed and joined ones included.
    Filter(std::shared_ptr<DataContext> context, const TableDef &table, const QList<FieldDef> &fields);

    QString TableName() const;
    // The name last loaded or saved; "" for a new filter.
    QString Name() const { return m_name; }
    // The criterion of all conditions; "" when there are none. Throws objdb::Error when a value does
    // not fit its column's type.
    QString Criterion() const;

    const QList<FilterCondition> &conditions() const { return m_conditions; }
    void setConditions(QList<FilterCondition> conditions) { m_conditions = std::move(conditions); }
    // Adds "column = value", joined with And.
    void AddCondition(const QString &column, const QString &value);
    void RemoveConditions(const QString &column);
    bool HasConditionOn(const QString &field) const;

    // The columns a condition may name: the fields it was made with but the secret ones.
    const QList<FieldDef> &columns() const { return m_columns; }
    // The column of that name, in any letter case; null when there is none.
    const FieldDef *column(const QString &name) const;
    static QStringList operators();
    // One condition as criterion text ("Descrizione Like 'ab*'"); throws objdb::Error, in Italian,
    // for an unknown column, an operator the column's type does not take or a value that does not fit.
    QString conditionText(const FilterCondition &condition) const;
    // Parses and renders a criterion against the table's view: throws objdb::Error (with the position
    // for a malformed text) exactly when the data source would refuse it.
    void check(const QString &criterion) const;

    // The store of saved filters of the table.
    QString SavedNames() const; // the complex filters' names joined by "|"
    bool Exists(const QString &name, bool predefined) const;
    bool Load(const QString &name, bool predefined);
    // False when the name is taken and overwrite is not given; a name with "|" throws.
    bool Save(const QString &name, bool predefined, bool overwrite);
    bool Delete(const QString &name, bool predefined);

private:
    std::shared_ptr<DataContext> m_context;
    const TableDef &m_table;
    QList<FieldDef> m_columns;
    QList<FilterCondition> m_conditions;
    QString m_name;
};

} // namespace objdb
