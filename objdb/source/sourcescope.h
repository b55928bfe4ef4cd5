#pragma once
// What every part of a data source works on: the archive, the table and how its rows are seen.

#include "objdb/viewschema.h"

#include <memory>

namespace objdb {
class Database;
class DataContext;
} // namespace objdb

namespace objdb::source {

struct SourceScope {
    std::shared_ptr<DataContext> context;
    std::weak_ptr<Database> archive; // held weakly: a closed archive detaches its data sources
    const TableDef &table;
    std::shared_ptr<const ViewSchema> schema;
    std::shared_ptr<const FieldSet> fieldSet; // the visible fields and the binds of computed ones

    // The open archive; throws once it was closed.
    std::shared_ptr<Database> database() const;
    // The visible field of that name, or nullptr.
    const FieldDef *field(const QString &name) const;
    // The caption of a column for messages: its field's when visible, else its name.
    QString captionOf(const QString &column) const;
};

} // namespace objdb::source
