#pragma once
// The record commands on the data source bound to a grid: a new record, the editing panel of a
// record, the delete of the rows chosen in the grid. A failure is reported; the view stays as it was.

#include <QVariantList>
#include <memory>

class QTableView;
class QWidget;
namespace objdb {
class DataSource;
class GridSetting;
}

// A whole column chosen in the grid: no record to open or delete. In a one-row grid any selected
// cell fills its column, so there the selection is always the record's. A grid left without a
// model keeps a selection over an empty one.
bool ColumnChosen(const QTableView &grid);

// The preset values of a new row: a new payment carries the operator who records it.
QVariantList NewRecordPresets(const objdb::DataSource &source, const QString &operatorName);

// Opens the editing panel for a new row with the preset column values (alternating names and
// values). A saved row is read back into the view, the setting applied to the grid again, and the
// new row made current when the view holds it.
void AddRecord(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid, objdb::GridSetting *setting,
               const QVariantList &presets, QWidget *owner);

// Opens the editing panel on the row with the given bookmark and reads the view again once it is
// saved. A row that is gone only beeps.
void EditRecord(const std::shared_ptr<objdb::DataSource> &source, qint64 bookmark, QWidget *owner);

// Deletes, once the user confirms, the rows chosen in the grid as rows, else the current row
// (bookmark). A chosen column is no row to delete: it only beeps.
void DeleteChosenRows(objdb::DataSource &source, QTableView &grid, qint64 bookmark, QWidget *owner);
