// The detail view: the query of the selected section opened, bound to the grid, and the menus
// that depend on its fields rebuilt.

#include "core/frmMain.h"

#include "core/configuration.h"
#include "core/errorreport.h"
#include "core/frmMessage.h"
#include "core/layout.h"
#include "core/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/types.h"
#include "views/frmFromDateToDate.h"
#include "views/viewquery.h"

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
    item->setObjectName(templ->objectName() + QStringLiteral("_%1").arg(items.size()));
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

} // namespace

QString frmMain::currentSectionKey() const
{
    const QTreeWidgetItem *node = tvTreeView->currentItem();
    return node ? node->data(0, Qt::UserRole).toString() : QString();
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
    mnuFilter->setProperty("tag", QString());
    mnuDataSelBeforeQuery->setChecked(false);
}

void frmMain::buildFieldMenus()
{
    QAction *find = toolbarAction(QStringLiteral("Find"));
    int findTag = 0;
    for (int i = 1; i <= m_objCurDS->FieldCount(); ++i) {
        const objdb::FieldDef &field = m_objCurDS->Field(i);
        if (field.secret)
            continue;
        if (field.type == objdb::TypeText || field.type == objdb::TypeLongText || field.type == objdb::TypeReference) {
            addItem(mnuSearchItems, field.caption, field.name);
            addItem(mnuFilterItems, field.name, field.name);
            QAction *entry = find->menu()->addAction(field.caption);
            entry->setObjectName(QStringLiteral("tbToolBar_Find_") + field.name);
            entry->setProperty("key", field.name);
            entry->setProperty("index", int(mnuSearchItems.size() - 1));
            if (findTag == 0 && field.size > 16 && field.size < 129)
                findTag = int(find->menu()->actions().size());
        }
        if (!field.noOrder)
            addItem(mnuOrderItems, field.caption, field.name);
        const bool numeric = field.type == objdb::TypeInteger || field.type == objdb::TypeFloat
            || field.type == objdb::TypeAmount;
        if (numeric && !field.name.startsWith(QLatin1String("OID")) && !field.noOrder && field.display > 0) {
            addItem(mnuTotalItems, field.caption, field.name);
            addItem(mnuAverageItems, field.caption, field.name);
        }
    }
    if (findTag == 0 && !find->menu()->isEmpty())
        findTag = 1;
    find->setProperty("tag", findTag > 0 ? QString::number(findTag) : QString());
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
        QTreeWidgetItem *node = tvTreeView->currentItem();
        if (node)
            SetStatusMsg(lblTitle.at(0)->text() + QStringLiteral(" <") + node->text(0) + QLatin1Char('>'));
        const QString key = node ? node->data(0, Qt::UserRole).toString() : QString();
        if (!key.isEmpty()) {
            showView(key, node->text(0), p_strSortOrder);
        } else {
            // A grouping node: the section page takes the grid's place.
            disconnect(m_objCurDSEvents);
            m_objCurDSEvents = {};
            objdb::ViewUtility::UnbindGrid(dgView);
            dgView->hide();
            cmdGridSetting->hide();
            cmdDateSel->hide();
            mnuSelection->menuAction()->setVisible(false);
        }
        setDataCommandsEnabled(!dgView->isHidden());
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
    SectionQuery query = SectionQueryFor(key);

    if (key == QLatin1String("Mov. per Collaboratori")) {
        QApplication::restoreOverrideCursor();
        QVariant from, to;
        const bool chosen = frmFromDateToDate::SetDate(from, to, -1, -1, this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (chosen && from.toDate().isValid() && to.toDate().isValid()) {
            query.condition = WithPeriod(query.condition, from.toDate(), to.toDate());
            modGlobal::PeriodCaption = PeriodCaptionFor(from.toDate(), to.toDate());
            SetStatusMsg(modGlobal::PeriodCaption);
        }
    }

    // The same table shown again keeps its order and its current record.
    QString sort = sortOrder;
    QString sameTable;
    qint64 currentOid = 0;
    if (isViewBound() && m_objCurDS->TableName() == query.table && m_objCurDS->SubView().isEmpty()) {
        sameTable = m_objCurDS->TableName();
        if (sort.isEmpty())
            sort = m_objCurDS->Sort().isEmpty() ? m_objCurDS->DefaultSort() : m_objCurDS->Sort();
        currentOid = currentGridBookmark();
    }

    const DateSelection selection = modGlobal::UseMonthSelection ? DateSelection::Month
        : modGlobal::UseDateSelection                            ? DateSelection::Day
                                                                 : DateSelection::All;
    query.condition = WithDateSelection(query.condition, query.dateField, selection, modGlobal::SelectionDate.date());

    frmMessage::instance()->ShowMsg(QStringLiteral("Lettura ") + nodeText + QStringLiteral("..."), this);
    objdb::OpenOptions options;
    options.notify = this;
    options.fieldList = query.fieldList;
    options.convertCurrency = modGlobal::CurrencyConversion;
    auto &table = modGlobal::g_objDataContext->Tables().Item(query.table);
    auto ds = table.OpenDataSource(query.condition, sort, options);
    disconnect(m_objCurDSEvents);
    m_objCurDS = ds;

    if (m_objGridSetting && m_objGridSetting->TableName() != m_objCurDS->TableName()) {
        m_objGridSetting->Save();
        m_objGridSetting.reset();
    }
    if (!m_objGridSetting)
        m_objGridSetting = objdb::ViewUtility::NewGridSetting(m_objCurDS->TableName(), gridSettingFile());
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(dgView, m_objGridSetting.get());
    m_objCurDSEvents = connect(m_objCurDS.get(), &objdb::DataSource::OnRefreshRecordset, this,
                               Guarded(this, &frmMain::m_objCurDSEvents_OnRefreshRecordset));
    dgView->clearSelection();

    if (!sameTable.isEmpty() && sameTable == m_objCurDS->TableName() && m_objCurDS->Field(QStringLiteral("OID"))
        && currentOid != 0) {
        const int row = objdb::ViewUtility::modelOf(dgView)->rowOfBookmark(currentOid);
        if (row >= 0)
            dgView->setCurrentIndex(dgView->model()->index(row, qMax(0, dgView->currentIndex().column())));
    }

    if (!query.dateField.isEmpty()) {
        cmdDateSel->show();
        mnuSelection->menuAction()->setVisible(true);
        cmdDateSel->setProperty("tag", query.dateField);
        UpdateDateSelectionCaption();
    } else {
        cmdDateSel->hide();
        mnuSelection->menuAction()->setVisible(false);
        cmdDateSel->setProperty("tag", QString());
    }

    LayoutMainWindow(float(splitterTwips()));
    dgView->show();
    cmdGridSetting->show();
    cmdGridSetting->raise();
    frmMessage::closeInstance();
    buildFieldMenus();
}

void frmMain::m_objCurDSEvents_OnRefreshRecordset(objdb::DataSource *p_objDS)
{
    if (!m_objCurDS || p_objDS != m_objCurDS.get())
        return;
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(dgView, m_objGridSetting.get());
}

void frmMain::StoreGridLayout()
{
    if (m_objGridSetting)
        m_objGridSetting->Save();
}
