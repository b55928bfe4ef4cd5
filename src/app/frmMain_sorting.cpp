// Sorting the view: by one column from the order menu or a header click, by several columns in
// the sort editor, or back to the view's own order; the sorted column's header carries the mark.
#include "app/frmMain.h"

#include "grid/sortorder.h"
#include "services/errorreport.h"

#include "objdb/datasource.h"
#include "objdb/grid/sorteditor.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

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
    if (m_objCurDS && Index > 0 && Index < mnuOrderItems.size())
        SetSortOrder(mnuOrderItems.at(Index)->property("tag").toString(), *m_objCurDS);
}

void frmMain::mnuOrderCancel_Click()
{
    if (m_objCurDS)
        SetSortOrder(QString(), *m_objCurDS);
}

void frmMain::mnuOrderComplex_Click()
{
    PostCommand([this] { EditComplexOrder(); });
}

void frmMain::EditComplexOrder()
{
    if (!m_objCurDS)
        return;
    QString expression = m_objCurDS->Sort();
    if (!objdb::SortEditor(*m_objCurDS, QStringLiteral("Ordinamento Complesso"), expression, this))
        return;
    // The editor's result is a whole expression: one column alone is written with its direction,
    // so that it is not taken for a column to reverse.
    if (!expression.isEmpty() && !expression.contains(QLatin1Char(' ')) && !expression.contains(QLatin1Char(',')))
        expression += QStringLiteral(" ASC");
    SetSortOrder(expression, *m_objCurDS);
}
