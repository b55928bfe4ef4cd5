// Text search in a column of the grid: the column items of "Cerca", "Cerca successivo" and the
// right-click "Cerca valore successivo"; the view finds the match and moves the grid to it.
#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/errorreport.h"
#include "views/currentview.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTableView>

void frmMain::connectSearchCommands()
{
    connect(mnuSearch, &QMenu::triggered, this, [this](QAction *item) {
        const QVariant index = item->property("index");
        if (index.isValid() && mnuSearchItems.value(index.toInt()) == item)
            RunReportingFailures([&] { mnuSearchItems_Click(index.toInt()); });
    });
    connect(mnuSearchNext, &QAction::triggered, this, Guarded(this, &frmMain::mnuSearchNext_Click));
    connect(mnuFieldSearchNext, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldSearchNext_Click));
}

void frmMain::mnuSearchItems_Click(int Index)
{
    if (Index <= 0 || Index >= mnuSearchItems.size())
        return;
    if (frmSearchText::GetSelection(this, mnuSearchItems.at(Index)->text(), true, true))
        ExecuteSearch(Index);
}

void frmMain::ExecuteSearch(int Index)
{
    const QAction *item = mnuSearchItems.value(Index);
    if (!m_view->m_objCurDS || !item || Index == 0)
        return;
    toolbarAction(QStringLiteral("Find"))->setProperty("tag", QString::number(Index));
    m_view->searchText(item->property("tag").toString(), item->text());
}

void frmMain::mnuSearchNext_Click()
{
    bool numeric = false;
    const int index = toolbarAction(QStringLiteral("Find"))->property("tag").toString().toInt(&numeric);
    if (!numeric) {
        mnuSearch->popup(QCursor::pos());
        return;
    }
    if (frmSearchText::sSearchText.isEmpty()) {
        mnuSearchItems_Click(index);
        return;
    }
    frmSearchText::bNext = true;
    ExecuteSearch(index);
}

void frmMain::mnuFieldSearchNext_Click()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    if (!m_view->m_objCurDS || !model || !current.isValid())
        return;
    const QString field = model->fieldAt(current.column());
    const QString cellText = ColumnFilters::cellValueText(current);
    for (int i = 1; i < mnuSearchItems.size(); ++i) {
        if (mnuSearchItems.at(i)->property("tag").toString() != field)
            continue;
        frmSearchText::sLastName = field;
        frmSearchText::sLastValue = cellText;
        frmSearchText::sSearchText = cellText;
        frmSearchText::bNext = true;
        ExecuteSearch(i);
        return;
    }
    // A column without a search item: the next row holding the same value.
    m_view->searchSameValue(field, cellText);
    frmSearchText::sLastValue.clear();
    frmSearchText::sSearchText.clear();
}
