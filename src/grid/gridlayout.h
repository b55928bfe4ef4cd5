#pragma once
// The grid layout commands on the view bound to a grid: all fields shown once, the field sequence
// chosen by the user, the layout put back to the library's defaults. Each binds the grid again.

#include <memory>

class QTableView;
class QWidget;
namespace objdb {
class DataSource;
class GridSetting;
}

// Shows every default field of the view until the grid is next bound; the setting keeps its sequence.
void ShowAllFieldsOnce(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                       objdb::GridSetting &setting);

// Opens the field-sequence editor on the setting's sequence; a confirmed one is kept in the setting
// and the grid shows it. Returns true when confirmed.
bool EditGridFieldSequence(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                           objdb::GridSetting &setting, QWidget *owner);

// Asks whether to go back to the default layout; on Yes the setting forgets its sequence and widths
// and the grid shows the defaults. Returns true when reset.
bool ResetGridLayout(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                     objdb::GridSetting &setting, QWidget *owner);
