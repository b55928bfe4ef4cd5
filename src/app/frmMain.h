#pragma once
// The main window: section tree, data grid, title bar, toolbar, status bar and menus. Its handlers
// are spread over the frmMain_*.cpp files, one concern each, and hand the work to the subsystems;
// the making of its parts, the wiring of its commands, its layout, placement, tray icon and keys
// are units of their own (friends below).

#include "app/mainwindowui.h"
#include "objdb/notify.h"
#include "services/session.h"
#include "users/operatorlogin.h"
#include "views/sectiontree.h"

#include <QMainWindow>
#include <QString>
#include <functional>

class QTreeWidgetItem;
class BusyMark;
class CurrentView;
class DeferredCommand;
struct FieldMenus;
class clsOSTNA;
namespace objdb {
struct ColumnSummary;
class DataSource;
}
namespace output {
struct ViewInfo;
}

class frmMain : public QMainWindow, public objdb::itfNotifyEvent, private MainWindowUi {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    QString m_strOperatore;
    // This run's archive, its data context, the desk's mark and the operator, as start-up made them.
    Session &m_objSession;
    clsOSTNA *m_objTNA = nullptr;
    // Set while RefreshDetailView runs.
    bool m_blnRefreshing = false;
    CurrentView &view() const { return *m_view; }
    // True while the hide-tree button shows the "show tree" arrow, i.e. the tree is hidden.
    bool cmdHideTreeShowsHidden() const;
    void SetStatusMsg(const QString &sMsg);
    void SetAppTitle();
    void RefreshDetailView(const QString &p_strSortOrder = QString());
    bool UserLogin(bool p_blnChangeUser, bool p_blnChangePwd);
    // The commands reserved to the administrator, enabled for him alone.
    void UpdateAdministratorCommands();

    // Section tree. Node indices are 1-based in the order the nodes were added, counting only the
    // nodes present; the selected node is the current section of the window.
    void SetTreeViewNodes();
    QTreeWidgetItem *nodeByIndex(int index) const { return SectionTree::NodeByIndex(tvTreeView, index); }
    int indexOfNode(QTreeWidgetItem *node) const { return SectionTree::IndexOf(node); }
    QTreeWidgetItem *selectedNode() const { return SectionTree::SelectedNode(tvTreeView); }
    QString selectedNodeKey() const { return SectionTree::KeyOf(selectedNode()); }
    QString selectedNodeText() const;
    void tvTreeView_Click();
    // A button of the section overview page: its tag is a node index or a node key.
    void acmdSectionItem_Click(int index);
    // Rebuilds the section overview page for the selected grouping node.
    void BuildSectionPage();

    // Date selection of the views with a date field; a period runs from one day to another, both
    // included; the steps move one day (month, period) back or on, or to the one that holds today.
    void UpdateDateSelectionCaption();
    void mnuSelAll_Click();
    void mnuSelDate_Click();
    void mnuSelMonth_Click();
    void mnuSelPeriod_Click();
    void cmdDateSel_Click();
    void mnuSelPrevious_Click();
    void mnuSelNext_Click();
    void mnuSelToday_Click();

    // Output of the current view: its report printed, previewed or exported, the browser page, the
    // data export.
    void PrintCurrentData(QObject *p_objSource, int p_Func, const QString &p_sTitle);
    void mnuPrint_Click();
    void mnuPreview_Click();
    void mnuPrintExport_Click();
    void mnuViewWebBrowser_Click();
    void mnuSave_Click();
    // Lets the current view's grid setting store the grid layout before the window unloads.
    void StoreGridLayout();

    // Grid layout of the current table.
    void cmdGridSetting_Click();
    void mnuGridFldAll_Click();
    void mnuGridFldSequence_Click();
    void mnuGridCancel_Click();

    // Session commands of the tools and help menus; the archive dropped and opened again.
    void mnuToolsOptions_Click();
    void mnuChangeUser_Click();
    void mnuChangePwd_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();
    void ReloadDatabase();
    void ReleaseDatabase();

    // Maintenance commands of the tools menu, and the closing summary: today's for an operator; the
    // selected day, month or period, and any other day, for the administrator.
    void mnuDeletePayment_Click();
    void mnuVerifyArchive_Click();
    void mnuDeletionLog_Click();
    void mnuImport_Click();
    void mnuTransferToServer_Click();
    void mnuClosingSummary_Click();
    // The conversion of the archive to Euro, once its key has been confirmed.
    void ConvertArchive();

    // Record commands and the grid's events. A double click on a free area of the window opens the
    // editing panel on the data source's own current row, whatever the grid shows as current.
    void mnuFileNew_Click();
    void mnuFileDelete_Click();
    void mnuFileProperties_Click();
    void dgView_DblClick();
    void Form_DblClick();
    void dgView_ColumnResize(int column, int oldSize, int newSize);
    void dgView_HeadClick(int column);
    void dgView_MouseUpRight(const QPoint &pos);
    void tbToolBar_ButtonClick(const QString &key);
    void tbToolBar_ButtonMenuClick(QAction *item);
    // Posts a command to tmFunc; its next tick runs it. A second post replaces a pending one.
    void PostCommand(std::function<void()> command);

    // View toggles; amounts shown in the archive's conversion currency, or back in its own.
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuHideSection_Click();
    void cmdHideTree_Click();
    void mnuViewRefresh_Click();
    void mnuViewCurrencyConversion_Click();

    // Life of the window.
    void Form_Load();
    void Form_Activate();
    void mnuActivate_Click();
    void mnuClose_Click();
    void mnuFileClose_Click();

    // Library notifications.
    void OnEvent(int action, QObject *source, const QString &detail) override;
    void OnInternalMessage(QObject *source, const QString &detail) override;
    void OnQueryMessage(QObject *source, int type, const QString &text, bool &cancel) override;
    void OnReportRequest(QObject *source, int func, const QString &title, const QString &details) override;

    // Column filters, the complex filter and the predefined selections of the current section.
    void mnuFilterItems_Click(int Index);
    void mnuFilterCancel_Click();
    void mnuFieldFilter_Click();
    void mnuFieldFilterCancel_Click();
    void mnuFieldFilterCancelAll_Click();
    void mnuFilterComplex_Click();
    void mnuFilterComplexItems_Click(int Index);
    void RefreshComplexFilterItems();
    void mnuDataSelBeforeQuery_Click();
    void mnuDataSelCancel_Click();

    // Associated data: the related rows of the current row in the data window. BuildAssociatedMenus
    // rebuilds the three lists of mnuAssociation for the view's data source, or only empties them.
    void BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly);
    void mnuReferencedItem_Click(int Index);
    void mnuRefItem_Click(int Index);
    void mnuContItem_Click(int Index);

    // Totals and averages of a column over the rows of the view, shown once read (apart on a big
    // archive); text search in a column; sorting (the sort editor opens on the next tick of tmFunc).
    void CalculateTotalColumn(const QString &p_strColName, std::function<QString(const objdb::ColumnSummary &)> message);
    void mnuTotalItems_Click(int Index);
    void mnuAverageItems_Click(int Index);
    void mnuFieldTotal_Click();
    void mnuFieldAverage_Click();
    void mnuSearchItems_Click(int Index);
    // Searches the column of mnuSearchItems(Index) for the text of the search dialog's fields.
    void ExecuteSearch(int Index);
    void mnuSearchNext_Click();
    void mnuFieldSearchNext_Click();
    void mnuOrderItems_Click(int Index);
    void mnuOrderCancel_Click();
    void mnuOrderComplex_Click();

signals:
    // Shift+Ctrl+Alt+R confirmed: convert the archive's amounts to Euro.
    void currencyConversionRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    friend struct AssociatedMenus;
    friend struct MainWindowCommands;
    friend struct MainWindowControls;
    friend struct MainWindowToolbar;
    friend struct MainWindowMenus;
    friend struct MainWindowPlacement;
    friend struct MainWindowTray;
    friend struct RememberedSelection;
    friend class SplitterDrag;
    friend void LayoutMainWindow(frmMain &form, float p_sngX);
    friend void UpdateMainWindowMinimumSize(frmMain &form, double splitTwips);
    friend bool MainWindowKeyDown(frmMain &form, int key, Qt::KeyboardModifiers modifiers);

    // The view's reads apart from the window come and go with the mark.
    BusyMark *m_busyMark = nullptr;
    CurrentView *m_view = nullptr;
    DeferredCommand *tmFunc = nullptr;
    OperatorLogin m_objLogin{this};
    // The section the operator left, until the first tree of the run is built.
    QString m_strRememberedSection;
    bool m_blnUnloading = false;
    bool m_blnActivating = false;
    bool m_blnKeyFilterInstalled = false;
    // Where the last mouse click on cmdDateSel was released; -1 for a click from the keyboard.
    int m_intDateClickX = -1;

    // The toolbar action with the given key ("Find", "New", ...).
    QAction *toolbarAction(const QString &key) const;
    void setCmdHideTreeShowsHidden(bool hidden);
    // Current splitter position (left edge of imgSplitter) in twips.
    double splitterTwips() const;
    QString currentSectionKey() const;
    // The record commands act on the rows of a view, never on the computed statistics, and on a
    // current row when bookmark says which (-1: none is needed); otherwise they only beep.
    bool recordCommandApplies(bool needsGrid, qint64 bookmark) const;
    // The view of the selected node shown, or hidden for a grouping node, and its menus rebuilt.
    void refreshView(const QString &sortOrder);
    void showView(const QString &key, const QString &nodeText, const QString &sortOrder);
    void hideView(const QTreeWidgetItem *node);
    // The date button, its menu and the totals band, shown for a view with a date field only.
    void showDateControls(const QString &dateField);
    // The column menus of the current view, as one.
    FieldMenus fieldMenus();
    void clearFieldMenus();
    // The item of mnuTotalItems for the grid's current column; 0 when it has none.
    int currentTotalItem() const;
    // What the output commands need of the current view and of this window.
    output::ViewInfo outputView() const;
    // The output and grid layout commands act on a shown view; otherwise they only beep.
    bool outputApplies() const;
    bool gridLayoutApplies() const;
    // The check mark of mnuGridFldSequence: set while the grid setting holds a field sequence.
    void UpdateFieldSequenceMark();
    // The right-click filter commands on the field; an empty value clears its condition.
    void filterCurrentColumn(const QString &field, const QString &value, bool cancelOnly);
    // Deferred: the editor on the complex filter.
    void EditComplexFilter();
    // The filter commands' marks: whether a filter is in force, and whether it is the complex one.
    void ShowFilterMarks(bool filtered, bool complex);
    // A beep where the selection cannot move.
    void stepDateSelection(int step);
    // Shows the conversion-currency item when the archive has a conversion currency.
    void UpdateCurrencyMenu();
    // Window-wide keys; true when the key is consumed.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The first activation opens the archive and logs the operator in; false when either failed.
    bool openSession();
    void Form_Unload();
};
