#pragma once
#include <QString>

namespace objdb {
class DataSource;
}

// Sorts the data source by one field (a second call on the same field reverses it) or by a whole
// sort expression; an empty text removes the order. A failure is reported and leaves the previous
// order in force.
void SetSortOrder(const QString &order, objdb::DataSource &ds);
