#pragma once
// The one table the data source and grid tests read, and a fresh archive built from it for each case.

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/definition.h"
#include "objdb/notify.h"
#include "objdb/types.h"
#include "objdbtestsupport.h"

#include <QObject>

#include <memory>

namespace GridTest {

// Whether the table also carries two text columns the grid is told to hide.
enum class Columns { Plain, WithHidden };

// Names, amounts, dates and a paid flag, indexed by name.
class Voci : public objdb::itfDefTable {
public:
    explicit Voci(Columns columns) : m_columns(columns) {}
    QString TableName() const override { return QStringLiteral("Voci"); }
    void DefineStructure(objdb::ColumnCollection &c, objdb::IndexCollection &i, objdb::ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Nome"), objdb::TypeText, 20);
        c.AddColumn(QStringLiteral("Importo"), objdb::TypeAmount, 0);
        c.AddColumn(QStringLiteral("Data"), objdb::TypeDate, 0);
        c.AddColumn(QStringLiteral("Pagato"), objdb::TypeYesNo, 0);
        if (m_columns == Columns::WithHidden) {
            c.AddColumn(QStringLiteral("Codice"), objdb::TypeText, 10, {.visibility = objdb::ColumnVisibility::Secret});
            c.AddColumn(QStringLiteral("Nota"), objdb::TypeText, 30, {.visibility = objdb::ColumnVisibility::Private});
        }
        i.AddIndex(QStringLiteral("Nome"), false);
    }

private:
    Columns m_columns;
};

class Definition : public objdb::itfDefDatabase {
public:
    explicit Definition(Columns columns) : m_columns(columns) {}
    void Define(objdb::DatabaseDefinition &d) override { d.AddTable(std::make_shared<Voci>(m_columns)); }

private:
    Columns m_columns;
};

// Base of the data source and grid tests: each case gets a new, empty archive in a folder of its own.
class ArchiveTest : public QObject {
protected:
    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::RecordingSink m_sink;
    std::shared_ptr<objdb::Database> m_db;
    std::shared_ptr<objdb::DataContext> m_context;

    // A context over the Voci definition with the new archive attached to it.
    void openNewArchive(Columns columns)
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_context = objdb::Application::Initialise(std::make_shared<Definition>(columns), QStringLiteral("test"), &m_sink);
        m_db = objdb::Database::create();
        m_db->Create(objdb::kDatabaseFormat, m_dir->databasePath());
        m_db->Open(objdb::kDatabaseFormat, m_dir->databasePath());
        m_context->Attach(m_db);
    }

    // The context goes before the archive, the archive before its folder.
    void closeArchive()
    {
        m_context.reset();
        m_db.reset();
        m_dir.reset();
    }
};

} // namespace GridTest
