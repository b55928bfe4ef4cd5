#pragma once
// The data context: the definition read and checked against one open database.

#include "objdb/currency.h"
#include "objdb/definition.h"
#include "objdb/statementcache.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

namespace objdb {

class Database;
class DataContext;
class DataSource;
class Filter;
class itfNotifyEvent;
class itfProgress;
class ViewSchema;

// Options of OpenDataSource beyond filter and order.
struct OpenOptions {
    itfNotifyEvent *notify = nullptr; // sink of this data source's notifications ("" = the context's)
    QString fieldList;                // "" = the table's default fields
    bool convertCurrency = false;     // show amounts in the context's conversion currency
    bool readOnly = false;
};

struct ColumnInfo {
    QString Name;
    int Type = 0;
    int Length = 0;
};

class Table {
public:
    Table(DataContext &context, const TableDef &def) : m_context(context), m_def(def) {}
    QString Name() const { return m_def.name; }
    QString Caption() const { return m_def.caption(); }
    const TableDef &def() const { return m_def; }
    DataContext &context() const { return m_context; }

    int ColumnCount() const { return int(m_def.columns.size()); }
    ColumnInfo Column(int index) const; // 1-based
    ColumnInfo Column(const QString &name) const;
    // The criterion literal of a value of a column (text quoted, dates #mm/dd/yyyy#, ...).
    QString Literal(const QString &column, const QVariant &value) const;
    // A condition that matches no row, whatever the data.
    static QString NoRowsCriterion() { return QStringLiteral("False"); }
    // A new, empty filter (or predefined selection) of the table's view.
    std::shared_ptr<Filter> NewFilter() const;

    std::shared_ptr<DataSource> OpenDataSource(const QString &filter = QString(), const QString &order = QString(),
                                               const OpenOptions &options = {});

private:
    DataContext &m_context;
    const TableDef &m_def;
};

class TableCollection {
public:
    int Count() const { return int(m_tables.size()); }
    Table &Item(int index);              // 1-based
    Table &Item(const QString &name);    // throws for an unknown name
    bool Exists(const QString &name) const;
    Table *find(const QString &name);

private:
    friend class DataContext;
    QList<std::shared_ptr<Table>> m_tables;
};

class DataContext : public std::enable_shared_from_this<DataContext> {
public:
    DataContext(std::shared_ptr<itfDefDatabase> definition, QString programName, itfNotifyEvent *notify,
                std::shared_ptr<Currency> conversionCurrency);
    ~DataContext();

    // Reads the definition and checks it against the database. createMissing creates missing tables,
    // columns and indexes and raises OnUpdatedTableStruct; rebuildIndexes and checkReferences belong
    // to the repair.
    void Attach(const std::shared_ptr<Database> &database, bool createMissing = true, bool rebuildIndexes = false,
                bool checkReferences = false, itfProgress *progress = nullptr);
    // 5 once attached and checked; 0 otherwise.
    int State() const;
    TableCollection &Tables();
    std::shared_ptr<Database> database() const;
    itfNotifyEvent *notify() const { return m_notify; }
    const QString &programName() const { return m_programName; }

    int UserLevel = 0;
    // The operator logged in, as the program names him: the logs kept in the archive write it.
    QString UserName;

    const Currency &mainCurrency() const { return *m_mainCurrency; }
    void SetConversionCurrency(std::shared_ptr<Currency> currency) { m_conversion = std::move(currency); }
    std::shared_ptr<Currency> ConversionCurrency() const { return m_conversion; }

    const TableDef *tableDef(const QString &name) const;
    // The joins and fields of a table, built once per attachment and shared by its data sources.
    std::shared_ptr<const ViewSchema> viewSchema(const TableDef &table);
    // Prepared statements of the attached archive, shared by the data sources.
    StatementCache &statements() { return m_statements; }
    const QList<TableDef> &tableDefs() const { return m_defs; }

private:
    void readDefinition();
    void refuseDamagedTables(const QSet<QString> &existingTables) const;
    void createOrUpgrade(const TableDef &def);
    void raiseStructureEvents();
    void rebuildIndexes();
    void checkReferences();

    std::shared_ptr<itfDefDatabase> m_definition;
    QString m_programName;
    itfNotifyEvent *m_notify = nullptr;
    std::shared_ptr<Currency> m_conversion;
    std::shared_ptr<Currency> m_mainCurrency;
    std::weak_ptr<Database> m_database;
    QList<TableDef> m_defs;
    TableCollection m_tables;
    struct PendingStructureEvent {
        QString table;
        double oldVersion = 0;
        bool created = false;
    };
    QList<PendingStructureEvent> m_pendingEvents;
    QHash<const TableDef *, std::shared_ptr<const ViewSchema>> m_schemas;
    StatementCache m_statements;
    bool m_attached = false;
};

namespace Application {
// A new data context bound to a definition and a notification sink.
std::shared_ptr<DataContext> Initialise(std::shared_ptr<itfDefDatabase> definition, const QString &programName,
                                        itfNotifyEvent *notify, std::shared_ptr<Currency> conversionCurrency = {});
} // namespace Application

} // namespace objdb
