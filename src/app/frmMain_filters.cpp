// Column filters and the complex filter of the current view: the menu items keep the column
// filters in their captions and the marks of what is in force; the view applies them.

#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

void frmMain::connectFilterCommands()
{
    connect(mnuFilterShort, &QMenu::triggered, this, [this](QAction *item) {
        if (const int index = int(mnuFilterItems.indexOf(item)); index > 0)
            RunReportingFailures([&] { mnuFilterItems_Click(index); });
    });
    connect(mnuFilter, &QMenu::triggered, this, [this](QAction *item) {
        if (const int index = int(mnuFilterComplexItems.indexOf(item)); index > 0)
            RunReportingFailures([&] { mnuFilterComplexItems_Click(index); });
    });
    connect(mnuFilterComplex, &QAction::triggered, this, Guarded(this, &frmMain::mnuFilterComplex_Click));
    connect(mnuDataSelBeforeQuery, &QAction::triggered, this, Guarded(this, &frmMain::mnuDataSelBeforeQuery_Click));
    connect(mnuDataSelCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuDataSelCancel_Click));
    connect(mnuFilterCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuFilterCancel_Click));
    connect(mnuFieldFilter, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldFilter_Click));
    connect(mnuFieldFilterCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldFilterCancel_Click));
    connect(mnuFieldFilterCancelAll, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldFilterCancelAll_Click));
    connect(m_view, &CurrentView::filtersChanged, this, &frmMain::ShowFilterMarks);
    connect(m_view, &CurrentView::complexFilterNamesChanged, this, &frmMain::RefreshComplexFilterItems);
}

void frmMain::ShowFilterMarks(bool filtered, bool complex)
{
    toolbarAction(QStringLiteral("Filter"))->setChecked(filtered);
    mnuFilterComplex->setChecked(complex);
    mnuFilterShort->menuAction()->setEnabled(!complex);
}

void frmMain::mnuFilterItems_Click(int Index)
{
    if (!m_view->m_objCurDS || Index < 1 || Index >= mnuFilterItems.size())
        return;
    QAction *item = mnuFilterItems.at(Index);
    const QString title = item->property("title").toString();
    frmSearchText::GetFilterText(this, title);
    const QString text = frmSearchText::sSearchText; // empty also when left with Esc
    item->setCheckable(true);
    if (!text.isEmpty()) {
        item->setText(ColumnFilters::filteredCaption(title, text, frmSearchText::bInternal));
        item->setChecked(true);
    } else {
        item->setText(title);
        item->setChecked(false);
    }
    QList<ColumnFilters::Item> items;
    for (const QAction *column : mnuFilterItems.mid(1))
        items.append({column->property("tag").toString(), column->text(), column->property("title").toString()});
    m_view->applyColumnFilters(items);
}

void frmMain::mnuFilterCancel_Click()
{
    if (!m_view->m_objCurDS)
        return;
    m_view->cancelFilters();
    for (int i = 1; i < mnuFilterItems.size(); ++i) {
        QAction *item = mnuFilterItems.at(i);
        item->setText(item->property("title").toString());
        item->setChecked(false);
        item->setEnabled(true);
    }
}

void frmMain::mnuFieldFilterCancelAll_Click()
{
    mnuFilterCancel_Click();
}

void frmMain::mnuFieldFilter_Click()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex cell = dgView->currentIndex();
    if (!m_view->m_objCurDS || !model || !cell.isValid())
        return;
    filterCurrentColumn(ColumnFilters::cellValueText(cell), false);
}

void frmMain::mnuFieldFilterCancel_Click()
{
    if (!m_view->m_objCurDS || !objdb::ViewUtility::modelOf(dgView) || !dgView->currentIndex().isValid())
        return;
    filterCurrentColumn(QString(), true);
}

void frmMain::filterCurrentColumn(const QString &value, bool cancelOnly)
{
    const QString field = objdb::ViewUtility::modelOf(dgView)->fieldAt(dgView->currentIndex().column());
    if (!mnuFilterComplex->isChecked()) {
        for (int i = 1; i < mnuFilterItems.size(); ++i) {
            if (mnuFilterItems.at(i)->property("tag").toString() == field) {
                frmSearchText::sLastName = mnuFilterItems.at(i)->property("title").toString();
                frmSearchText::sLastValue = value;
                mnuFilterItems_Click(i);
                return;
            }
        }
    }
    // A complex filter in force, or a column with no item: the condition goes to the complex filter.
    m_view->filterInComplex(field, value, cancelOnly);
}

void frmMain::mnuFilterComplex_Click()
{
    // The check mark tells whether a complex filter is in force, not that the item was chosen.
    mnuFilterComplex->setChecked(!mnuFilterComplex->isChecked());
    PostCommand([this] { EditComplexFilter(); });
}

void frmMain::EditComplexFilter()
{
    // The tag of mnuFilter names the saved filter the editor opens on, when one was chosen.
    const QString savedName = mnuFilter->property("tag").toString();
    mnuFilter->setProperty("tag", QString());
    m_view->editComplexFilter(savedName);
}

void frmMain::mnuFilterComplexItems_Click(int Index)
{
    if (!m_view->m_objCurDS || Index < 1 || Index >= mnuFilterComplexItems.size())
        return;
    const QString name = mnuFilterComplexItems.at(Index)->text();
    if (!m_view->complexFilterExists(name)) {
        MessageService::inform(QStringLiteral("Un filtro con questo nome non è presente!"), MessageService::Icon::None,
                               QString(), this);
        return;
    }
    mnuFilter->setProperty("tag", name);
    PostCommand([this] { EditComplexFilter(); });
}

void frmMain::RefreshComplexFilterItems()
{
    while (mnuFilterComplexItems.size() > 1)
        delete mnuFilterComplexItems.takeLast();
    QAction *templ = mnuFilterComplexItems.first();
    for (const QString &name : m_view->complexFilterNames()) {
        auto *item = new QAction(name, mnuFilter);
        item->setObjectName(QStringLiteral("mnuFilterComplexItems_%1").arg(mnuFilterComplexItems.size()));
        item->setProperty("index", int(mnuFilterComplexItems.size()));
        mnuFilter->insertAction(templ, item);
        mnuFilterComplexItems.append(item);
    }
}
