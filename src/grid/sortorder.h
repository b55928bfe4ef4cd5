#pragma once
#include <QString>

class QTableView;

namespace objdb {
class DataSource;
}

// Sorts the data source by one field (a second call on the same field reverses it) or by a whole
// sort expression; an empty text removes the order. A failure is reported and leaves the previous
// order in force.
void SetSortOrder(const QString &order, objdb::DataSource &ds);

// Marks the header of the grid's column the data source is sorted by first, with its direction;
// no mark when that column is not shown.
void ShowSortMark(QTableView &grid, const objdb::DataSource &ds);
