#pragma once
// A data source's view copied for a read on a thread of its own: nothing the window's thread sets
// meanwhile (a new order, a filter) changes under the read. Safe to use on any thread.

#include "objdb/source/viewclauses.h"

#include <QList>
#include <QVariantList>
#include <memory>

namespace objdb {
class Database;
class StatementCache;
}

namespace objdb::source {

// A view's first screen as read on a connection of its own: the rows' values as stored (an
// amount of a converting view not yet converted) and how many rows there are up to a limit.
struct FirstScreen {
    QList<QVariantList> rows;
    int counted = 0;
};

struct ViewCopy {
    std::shared_ptr<const ViewSchema> schema;
    std::shared_ptr<const FieldSet> fieldSet;
    ViewClauses clauses;

    // The first rows in order and the number of rows, counting no further than countLimit.
    FirstScreen readFirstScreen(Database &db, StatementCache &statements, int rows, int countLimit) const;
};

} // namespace objdb::source
