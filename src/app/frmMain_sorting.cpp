// Sorting the view: by one column from the order menu or a header click, by several columns in
// the sort editor, or back to the view's own order; the sorted column's header carries the mark.
#include "app/frmMain.h"

#include "services/errorreport.h"
#include "views/currentview.h"

#include <QAction>
#include <QMenu>

void frmMain::connectSortCommands()
{
    connect(mnuOrderShort, &QMenu::triggered, this, [this](QAction *item) {
        const QVariant index = item->property("index");
        if (index.isValid())
            RunReportingFailures([&] { mnuOrderItems_Click(index.toInt()); });
    });
    connect(mnuOrderCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuOrderCancel_Click));
    connect(mnuOrderComplex, &QAction::triggered, this, Guarded(this, &frmMain::mnuOrderComplex_Click));
}

void frmMain::mnuOrderItems_Click(int Index)
{
    if (Index > 0 && Index < mnuOrderItems.size())
        m_view->sortBy(mnuOrderItems.at(Index)->property("tag").toString());
}

void frmMain::mnuOrderCancel_Click()
{
    m_view->sortBy(QString());
}

void frmMain::mnuOrderComplex_Click()
{
    PostCommand([this] { m_view->editComplexOrder(); });
}
