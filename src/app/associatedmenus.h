#pragma once
// The three lists of the main window's menu "Dati associati" (associated, references, containers),
// each under its header item, made anew for a view's data source.

class frmMain;
namespace objdb {
class DataSource;
}

struct AssociatedMenus {
    // The lists of dataSource's related tables; none empties them, and empty lists hide their headers.
    static void build(frmMain &form, const objdb::DataSource *dataSource);
};
