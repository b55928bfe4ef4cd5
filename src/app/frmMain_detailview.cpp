// The detail view: the query of the selected section opened, bound to the grid, and the menus
// that depend on its fields rebuilt.

#include "app/frmMain.h"

#include "views/sectiontree.h"

#include "grid/frmSearchText.h"
#include "grid/sortorder.h"

#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "app/layout.h"
#include "app/startup.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"
#include "views/frmFromDateToDate.h"
#include "views/sectionview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

namespace {

// Removes every item of a menu-item array but its template, item 0.
void clearItems(QList<QAction *> &items)
{
    while (items.size() > 1)
        delete items.takeLast();
}

QAction *addItem(QList<QAction *> &items, const QString &caption, const QString &tag)
{
    QAction *templ = items.first();
    auto *item = new QAction(caption, templ->parent());
    // Named after the array as the template is: "mnuSearchItems_0", "mnuSearchItems_1", ...
    const QString array = templ->objectName().section(QLatin1Char('_'), 0, -2);
    item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
    item->setProperty("tag", tag);
    item->setProperty("index", int(items.size()));
    if (auto *menu = qobject_cast<QMenu *>(templ->parent()))
        menu->addAction(item);
    items.append(item);
    return item;
}

QString gridSettingFile()
{
    return ProgramFolder() + QStringLiteral("/Cobrelle.INI");
}

// The title above the grid: the section, and the days its rows are limited to.
QString viewTitleOf(const QString &nodeText, const SectionViewRequest &request)
{
    if (request.periodFrom && request.periodTo)
        return ViewTitle(nodeText, DateSelection::Period, *request.periodFrom, *request.periodTo);
    if (request.query.dateField.isEmpty())
        return ViewTitle(nodeText);
    return ViewTitle(nodeText, request.selection, request.selectionDate, request.selectionEnd);
}

} // namespace

QString frmMain::currentSectionKey() const
{
    const QTreeWidgetItem *node = tvTreeView->currentItem();
    return SectionTree::KeyOf(node);
}

qint64 frmMain::currentGridBookmark() const
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    return model && current.isValid() ? model->bookmarkAt(current.row()) : 0;
}

bool frmMain::isViewBound() const
{
    return m_objCurDS && m_objCurDSEvents && objdb::ViewUtility::modelOf(dgView);
}

void frmMain::clearFieldMenus()
{
    for (QList<QAction *> *items : {&mnuSearchItems, &mnuOrderItems, &mnuTotalItems, &mnuAverageItems, &mnuFilterItems,
                                    &mnuFilterComplexItems})
        clearItems(*items);
    QAction *find = toolbarAction(QStringLiteral("Find"));
    find->menu()->clear();
    find->setProperty("tag", QString());
    QAction *filter = toolbarAction(QStringLiteral("Filter"));
    filter->setCheckable(true);
    filter->setChecked(false);
    mnuFilterComplex->setChecked(false);
    mnuFilterShort->menuAction()->setEnabled(true);
    mnuFilter->setProperty("tag", QString());
    mnuDataSelBeforeQuery->setChecked(false);
}

void frmMain::releaseView()
{
    stopReadsApart();
    disconnect(m_objCurDSEvents);
    m_objCurDSEvents = {};
    objdb::ViewUtility::UnbindGrid(dgView);
    m_objCurDS.reset();
    m_objCurSelection.reset();
    m_objComplexFilter.reset();
}

void frmMain::buildFieldMenus()
{
    const FieldMenuEntries entries = FieldMenuEntriesFor(*m_objCurDS);
    QAction *find = toolbarAction(QStringLiteral("Find"));
    for (const FieldMenuEntry &entry : entries.search) {
        addItem(mnuSearchItems, entry.caption, entry.field);
        QAction *item = find->menu()->addAction(entry.caption);
        item->setObjectName(QStringLiteral("tbToolBar_Find_") + entry.field);
        item->setProperty("key", entry.field);
        item->setProperty("index", int(mnuSearchItems.size() - 1));
    }
    // A filtered column's caption carries its condition after the title it returns to.
    for (const FieldMenuEntry &entry : entries.filter)
        addItem(mnuFilterItems, entry.caption, entry.field)->setProperty("title", entry.caption);
    for (const FieldMenuEntry &entry : entries.order)
        addItem(mnuOrderItems, entry.caption, entry.field);
    for (const FieldMenuEntry &entry : entries.total) {
        addItem(mnuTotalItems, entry.caption, entry.field);
        addItem(mnuAverageItems, entry.caption, entry.field);
    }
    find->setProperty("tag", entries.findDefault > 0 ? QString::number(entries.findDefault) : QString());
}

void frmMain::setDataCommandsEnabled(bool enabled)
{
    mnuOrder->menuAction()->setEnabled(enabled);
    for (const char *key : {"New", "Properties", "Delete", "Refresh", "Find", "Filter", "Print"})
        toolbarAction(QString::fromLatin1(key))->setEnabled(enabled);
    for (QAction *item : {mnuFileNew, mnuFileProperties, mnuFileDelete, mnuViewRefresh})
        item->setEnabled(enabled);
    for (QMenu *menu : {mnuSearch, mnuFilter, mnuPrintFunc, mnuFieldFuncs, mnuDataSelection})
        menu->menuAction()->setEnabled(enabled);
}

void frmMain::RefreshDetailView(const QString &p_strSortOrder)
{
    if (!modGlobal::IsDatabaseReady() || m_blnRefreshing)
        return;
    m_blnRefreshing = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    try {
        clearFieldMenus();
        BuildAssociatedMenus(nullptr, true);
        QTreeWidgetItem *node = tvTreeView->currentItem();
        if (node)
            SetStatusMsg(lblTitle.at(0)->text() + QStringLiteral(" <") + node->text(0) + QLatin1Char('>'));
        const QString key = SectionTree::KeyOf(node);
        if (!key.isEmpty()) {
            showView(key, node->text(0), p_strSortOrder);
        } else {
            // A grouping node: the section page takes the grid's place, and no command may reach
            // the view it hides.
            lblTitle[1]->setText(node ? ViewTitle(node->text(0)) : lblTitle[1]->property("tag").toString());
            releaseView();
            dgView->hide();
            cmdGridSetting->hide();
            cmdDateSel->hide();
            mnuSelection->menuAction()->setVisible(false);
            lblTotals->hide();
            sbRowCount->clear();
            tmTotals->stop();
        }
        setDataCommandsEnabled(!dgView->isHidden());
        UpdateFieldSequenceMark();
        BuildSectionPage();
    } catch (const std::exception &) {
        const PendingError error = PendingError::current();
        frmMessage::closeInstance();
        m_blnRefreshing = false;
        QApplication::restoreOverrideCursor();
        ShowErrorReport(QStringLiteral("Visualizzazione dati fallita: \n\n") + error.description, error);
        return;
    }
    m_blnRefreshing = false;
    QApplication::restoreOverrideCursor();
}

void frmMain::showView(const QString &key, const QString &nodeText, const QString &sortOrder)
{
    SectionViewRequest request;
    request.query = SectionQueryFor(key);
    if (key == QLatin1String("Mov. per Collaboratori")) {
        QApplication::restoreOverrideCursor();
        QVariant from, to;
        const bool chosen = frmFromDateToDate::SetDate(from, to, -1, -1, this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (chosen && from.toDate().isValid() && to.toDate().isValid()) {
            request.periodFrom = from.toDate();
            request.periodTo = to.toDate();
            modGlobal::PeriodCaption = PeriodCaptionFor(from.toDate(), to.toDate());
            SetStatusMsg(modGlobal::PeriodCaption);
        }
    }

    // The same table shown again keeps its order and its current record.
    request.sort = sortOrder;
    QString sameTable;
    qint64 currentOid = 0;
    if (isViewBound() && m_objCurDS->TableName() == request.query.table) {
        sameTable = m_objCurDS->TableName();
        if (request.sort.isEmpty())
            request.sort = m_objCurDS->Sort().isEmpty() ? m_objCurDS->DefaultSort() : m_objCurDS->Sort();
        currentOid = currentGridBookmark();
    }

    const QString titleNote = applyPredefinedSelection(nodeText, request);
    request.selection = CurrentDateSelection();
    request.selectionDate = modGlobal::SelectionDate.date();
    request.selectionEnd = modGlobal::SelectionPeriodEnd;
    request.convertCurrency = modGlobal::CurrencyConversion;
    request.notify = this;

    // The library tells of the opening in the status bar; once the view is shown, the view's own
    // line comes back.
    const QString status = sbPanel1->text();
    frmMessage::instance()->ShowMsg(QStringLiteral("Lettura ") + nodeText + QStringLiteral("..."), this);
    auto ds = OpenSectionView(*m_objSession.dataContext, request);
    disconnect(m_objCurDSEvents);
    m_objCurDS = ds;
    // The new view opens unfiltered: the complex filter of the one it replaces is gone with it.
    m_objComplexFilter.reset();
    SetStatusMsg(status);
    lblTitle[1]->setText(viewTitleOf(nodeText, request) + titleNote);

    if (m_objGridSetting && m_objGridSetting->TableName() != m_objCurDS->TableName()) {
        m_objGridSetting->Save();
        m_objGridSetting.reset();
    }
    if (!m_objGridSetting)
        m_objGridSetting = objdb::ViewUtility::NewGridSetting(m_objCurDS->TableName(), gridSettingFile());
    // Connected before the grid model is made, so that on every refresh the grid is bound again
    // while the model still holds the rows chosen before it.
    m_objCurDSEvents = connect(m_objCurDS.get(), &objdb::DataSource::OnRefreshRecordset, this,
                               Guarded(this, &frmMain::m_objCurDSEvents_OnRefreshRecordset));
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(dgView, m_objGridSetting.get());
    watchGridBusy();
    ShowSortMark(*dgView, *m_objCurDS);
    dgView->clearSelection();

    if (!sameTable.isEmpty() && sameTable == m_objCurDS->TableName() && m_objCurDS->Field(QStringLiteral("OID"))
        && currentOid != 0) {
        const int row = objdb::ViewUtility::modelOf(dgView)->rowOfBookmark(currentOid);
        if (row >= 0)
            dgView->setCurrentIndex(dgView->model()->index(row, qMax(0, dgView->currentIndex().column())));
    }
    // Another table: its search starts afresh.
    if (sameTable.isEmpty())
        frmSearchText::ForgetLastSearch();

    lblTotals->setVisible(!request.query.dateField.isEmpty());
    queueViewTotals();
    if (!request.query.dateField.isEmpty()) {
        cmdDateSel->show();
        mnuSelection->menuAction()->setVisible(true);
        cmdDateSel->setProperty("tag", request.query.dateField);
        UpdateDateSelectionCaption();
    } else {
        cmdDateSel->hide();
        mnuSelection->menuAction()->setVisible(false);
        cmdDateSel->setProperty("tag", QString());
    }

    LayoutMainWindow(*this, float(splitterTwips()));
    dgView->show();
    cmdGridSetting->show();
    cmdGridSetting->raise();
    frmMessage::closeInstance();
    buildFieldMenus();
    BuildAssociatedMenus(m_objCurDS.get(), false);
    RefreshComplexFilterItems();
}

void frmMain::m_objCurDSEvents_OnRefreshRecordset(objdb::DataSource *p_objDS)
{
    if (!m_objCurDS || p_objDS != m_objCurDS.get())
        return;
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(dgView, m_objGridSetting.get());
    watchGridBusy();
    ShowSortMark(*dgView, *m_objCurDS);
    queueViewTotals();
}

void frmMain::StoreGridLayout()
{
    if (m_objGridSetting)
        m_objGridSetting->Save();
}
