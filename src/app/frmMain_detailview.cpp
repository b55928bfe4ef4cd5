// The detail view: the query of the selected section opened, bound to the grid, and the menus
// that depend on its fields rebuilt; or, for a grouping node, the section page in its place.

#include "app/frmMain.h"

#include "views/currentview.h"
#include "views/dateselectioncaption.h"

#include "services/errorreport.h"
#include "services/frmMessage.h"
#include "app/layout.h"
#include "app/mainwindowcommands.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "views/fieldmenus.h"
#include "views/sectionview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <optional>

QString frmMain::currentSectionKey() const
{
    return SectionTree::KeyOf(tvTreeView->currentItem());
}

void frmMain::clearFieldMenus()
{
    fieldMenus().clear();
    toolbarAction(QStringLiteral("Filter"))->setCheckable(true);
    ShowFilterMarks(false, false);
    mnuFilter->setProperty("tag", QString());
    mnuDataSelBeforeQuery->setChecked(false);
}

FieldMenus frmMain::fieldMenus()
{
    return {mnuSearchItems, mnuFilterItems, mnuOrderItems, mnuTotalItems, mnuAverageItems, mnuFilterComplexItems,
            toolbarAction(QStringLiteral("Find"))};
}

void frmMain::RefreshDetailView(const QString &p_strSortOrder)
{
    if (!m_objSession.isReady() || m_blnRefreshing)
        return;
    m_blnRefreshing = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    std::optional<PendingError> failure;
    try {
        refreshView(p_strSortOrder);
    } catch (const std::exception &) {
        failure = PendingError::current();
        frmMessage::closeInstance();
    }
    m_blnRefreshing = false;
    QApplication::restoreOverrideCursor();
    if (failure)
        ShowErrorReport(QStringLiteral("Visualizzazione dati fallita: \n\n") + failure->description, *failure);
}

void frmMain::refreshView(const QString &sortOrder)
{
    clearFieldMenus();
    BuildAssociatedMenus(nullptr, true);
    QTreeWidgetItem *node = tvTreeView->currentItem();
    if (node)
        SetStatusMsg(lblTitle.at(0)->text() + QStringLiteral(" <") + node->text(0) + QLatin1Char('>'));
    if (const QString key = SectionTree::KeyOf(node); !key.isEmpty())
        showView(key, node->text(0), sortOrder);
    else
        hideView(node);
    MainWindowCommands::enableDataCommands(*this, !dgView->isHidden());
    UpdateFieldSequenceMark();
    BuildSectionPage();
}

void frmMain::hideView(const QTreeWidgetItem *node)
{
    // A grouping node: the section page takes the grid's place, and no command may reach the view
    // it hides.
    lblTitle[1]->setText(node ? ViewTitle(node->text(0)) : lblTitle[1]->property("tag").toString());
    m_view->release();
    dgView->hide();
    cmdGridSetting->hide();
    showDateControls(QString());
    sbRowCount->clear();
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
    lblTitle[1]->setText(SectionViewTitle(nodeText, request) + titleNote);

    showDateControls(m_view->dateField());
    LayoutMainWindow(*this, float(splitterTwips()));
    dgView->show();
    cmdGridSetting->show();
    cmdGridSetting->raise();
    frmMessage::closeInstance();
    fieldMenus().build(FieldMenuEntriesFor(*m_view->m_objCurDS));
    BuildAssociatedMenus(m_view->m_objCurDS.get(), false);
    RefreshComplexFilterItems();
}

void frmMain::StoreGridLayout()
{
    m_view->storeGridLayout();
}

void frmMain::showDateControls(const QString &dateField)
{
    lblTotals->setVisible(!dateField.isEmpty());
    cmdDateSel->setVisible(!dateField.isEmpty());
    mnuSelection->menuAction()->setVisible(!dateField.isEmpty());
    cmdDateSel->setProperty("tag", dateField);
    if (!dateField.isEmpty())
        UpdateDateSelectionCaption();
}
