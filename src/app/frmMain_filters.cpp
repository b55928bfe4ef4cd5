// Column filters and the complex filter of the current view: the menu handlers hand over to the
// simple-filter rules of src/grid and to the library's filter object.

#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"
#include "objdb/filter/filtereditor.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

namespace {

// The complex filter made of `filter`'s conditions put in force by apply; conditions that cannot be
// applied are taken back to `before`, so that they never spoil the filters after them.
void applyOrTakeBack(objdb::Filter &filter, const QList<objdb::FilterCondition> &before,
                     const std::function<void()> &apply)
{
    try {
        apply();
    } catch (...) {
        filter.setConditions(before);
        throw;
    }
}

} // namespace

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
}

void frmMain::mnuFilterItems_Click(int Index)
{
    if (!m_objCurDS || Index < 1 || Index >= mnuFilterItems.size())
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
    try {
        QList<ColumnFilters::Item> items;
        for (const QAction *column : mnuFilterItems.mid(1))
            items.append({column->property("tag").toString(), column->text(), column->property("title").toString()});
        const ColumnFilters::Combined combined = ColumnFilters::combine(items);
        toolbarAction(QStringLiteral("Filter"))->setChecked(!combined.applied.isEmpty());
        SetStatusMsg(ColumnFilters::statusText(combined));
        m_objCurDS->SetFilter(combined.applied);
    } catch (const std::exception &) {
        const PendingError error = PendingError::current();
        ShowErrorReport(QStringLiteral("Errore nell'impostazione del filtro: \n\n") + error.description, error);
    }
}

void frmMain::mnuFilterCancel_Click()
{
    if (!m_objCurDS)
        return;
    m_objCurDS->SetFilter(QString());
    // The complex filter's conditions go too: the next filter starts from none.
    m_objComplexFilter.reset();
    for (int i = 1; i < mnuFilterItems.size(); ++i) {
        QAction *item = mnuFilterItems.at(i);
        item->setText(item->property("title").toString());
        item->setChecked(false);
        item->setEnabled(true);
    }
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(dgView, m_objGridSetting.get());
    watchGridBusy();
    mnuFilterComplex->setChecked(false);
    mnuFilterShort->menuAction()->setEnabled(true);
    toolbarAction(QStringLiteral("Filter"))->setChecked(false);
    SetStatusMsg(QStringLiteral("Disattivato filtro"));
}

void frmMain::mnuFieldFilterCancelAll_Click()
{
    mnuFilterCancel_Click();
}

void frmMain::mnuFieldFilter_Click()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex cell = dgView->currentIndex();
    if (!m_objCurDS || !model || !cell.isValid())
        return;
    filterCurrentColumn(ColumnFilters::cellValueText(cell), false);
}

void frmMain::mnuFieldFilterCancel_Click()
{
    if (!m_objCurDS || !objdb::ViewUtility::modelOf(dgView) || !dgView->currentIndex().isValid())
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
    if (cancelOnly && !m_objComplexFilter)
        return;
    objdb::Filter &filter = complexFilterOfView();
    const QList<objdb::FilterCondition> before = filter.conditions();
    filter.RemoveConditions(field);
    if (!cancelOnly && !value.isEmpty())
        filter.AddCondition(field, value);
    applyOrTakeBack(filter, before, [this] { ApplyComplexFilter(); });
}

objdb::Filter &frmMain::complexFilterOfView()
{
    if (!m_objComplexFilter || m_objComplexFilter->TableName() != m_objCurDS->TableName())
        m_objComplexFilter = m_objCurDS->NewFilter();
    return *m_objComplexFilter;
}

void frmMain::ApplyComplexFilter()
{
    const QString criterion = m_objComplexFilter ? m_objComplexFilter->Criterion() : QString();
    QAction *button = toolbarAction(QStringLiteral("Filter"));
    if (!criterion.isEmpty()) {
        m_objCurDS->SetFilter(criterion);
        mnuFilterShort->menuAction()->setEnabled(false);
        button->setChecked(true);
        mnuFilterComplex->setChecked(true);
    } else {
        mnuFilterShort->menuAction()->setEnabled(true);
        m_objCurDS->SetFilter(QString());
        button->setChecked(false);
        mnuFilterComplex->setChecked(false);
    }
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
    if (!m_objCurDS)
        return;
    // The editor works on a draft: the filter in force changes only once the draft is applied.
    objdb::Filter draft = complexFilterOfView();
    if (!savedName.isEmpty() && !draft.Load(savedName, false)) {
        MessageService::inform(QStringLiteral("Un filtro con questo nome non è presente!"), MessageService::Icon::None,
                               QString(), this);
        return;
    }
    // The view may have changed while the editor was open: the draft then belongs to none.
    if (objdb::ViewUtility::FilterEditor(draft, this, objdb::FilterEditorDialog::complexTitle(), this) && m_objCurDS
        && m_objCurDS->TableName() == draft.TableName()) {
        objdb::Filter &filter = complexFilterOfView();
        const QList<objdb::FilterCondition> before = filter.conditions();
        filter.setConditions(draft.conditions());
        applyOrTakeBack(filter, before, [this] { ApplyComplexFilter(); });
    }
    RefreshComplexFilterItems();
}

void frmMain::mnuFilterComplexItems_Click(int Index)
{
    if (!m_objCurDS || Index < 1 || Index >= mnuFilterComplexItems.size())
        return;
    const QString name = mnuFilterComplexItems.at(Index)->text();
    if (!complexFilterOfView().Exists(name, false)) {
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
    if (!m_objCurDS)
        return;
    const QString names = complexFilterOfView().SavedNames();
    if (names.isEmpty())
        return;
    QAction *templ = mnuFilterComplexItems.first();
    for (const QString &name : names.split(QLatin1Char('|'))) {
        auto *item = new QAction(name, mnuFilter);
        item->setObjectName(QStringLiteral("mnuFilterComplexItems_%1").arg(mnuFilterComplexItems.size()));
        item->setProperty("index", int(mnuFilterComplexItems.size()));
        mnuFilter->insertAction(templ, item);
        mnuFilterComplexItems.append(item);
    }
}
