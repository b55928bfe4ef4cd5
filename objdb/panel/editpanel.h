#pragma once
// The editing panel of one row, generated from the table's definition.

#include <QVariant>
#include <memory>

class QWidget;

namespace objdb {

class DataSource;

namespace EditPanel {
// Opens the panel for a new row of the data source's table (OnNewRow first, then the presets as
// ordinary writes). Returns the new row's OID when saved, Null when cancelled.
QVariant editNew(const std::shared_ptr<DataSource> &view, const QVariantList &presets, QWidget *owner);
// Opens the panel on the view's current row. Returns its OID when saved, Null when cancelled.
QVariant editCurrent(const std::shared_ptr<DataSource> &view, const QVariantList &presets, const QString &title,
                     QWidget *owner);
} // namespace EditPanel

} // namespace objdb
