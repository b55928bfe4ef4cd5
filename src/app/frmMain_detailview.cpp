// The detail view: the query of the selected section opened, bound to the grid, and the menus
// that depend on its fields rebuilt.

#include "app/frmMain.h"

#include "views/currentview.h"
#include "views/sectiontree.h"

#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "app/layout.h"
#include "app/startup.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "views/dateselectioncaption.h"
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

bool frmMain::isViewBound() const
{
    return m_view->isBound();
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
    m_view->release();
}

void frmMain::buildFieldMenus()
{
    const FieldMenuEntries entries = FieldMenuEntriesFor(*m_view->m_objCurDS);
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
    QString titleNote;
    const SectionViewRequest request = m_view->requestFor(*m_objSession.dataContext, key, nodeText, sortOrder, titleNote);
    mnuDataSelBeforeQuery->setChecked(m_view->selectionStored());
    // The library tells of the opening in the status bar; once the view is shown, the view's own
    // line comes back.
    const QString status = sbPanel1->text();
    frmMessage::instance()->ShowMsg(QStringLiteral("Lettura ") + nodeText + QStringLiteral("..."), this);
    m_view->open(*m_objSession.dataContext, request);
    SetStatusMsg(status);
    lblTitle[1]->setText(viewTitleOf(nodeText, request) + titleNote);

    const QString dateField = m_view->dateField();
    lblTotals->setVisible(!dateField.isEmpty());
    cmdDateSel->setVisible(!dateField.isEmpty());
    mnuSelection->menuAction()->setVisible(!dateField.isEmpty());
    cmdDateSel->setProperty("tag", dateField);
    if (!dateField.isEmpty())
        UpdateDateSelectionCaption();

    LayoutMainWindow(*this, float(splitterTwips()));
    dgView->show();
    cmdGridSetting->show();
    cmdGridSetting->raise();
    frmMessage::closeInstance();
    buildFieldMenus();
    BuildAssociatedMenus(m_view->m_objCurDS.get(), false);
    RefreshComplexFilterItems();
}

void frmMain::StoreGridLayout()
{
    m_view->storeGridLayout();
}
