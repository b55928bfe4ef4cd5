#pragma once
// The three lists of the main window's menu "Dati associati" (associated, references, containers),
// each under its header item, made anew for a view's data source.

#include <QList>

class QAction;
class frmMain;
namespace objdb {
class DataSource;
}

struct AssociatedMenus {
    // The lists of dataSource's related tables; none empties them, and empty lists hide their headers.
    static void build(frmMain &form, const objdb::DataSource *dataSource);
    // An item of one of the lists chosen: the related rows of the grid's current row shown in the data
    // window on the next tick, once the menu that raised it is gone.
    static void choose(frmMain &form, const QList<QAction *> &items, int index);
};
