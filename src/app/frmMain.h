#pragma once
// The main window: section tree, data grid, title bar, toolbar, status bar and menus.
// Its handlers are spread over the frmMain_*.cpp files, one concern each; the making of its parts,
// the wiring of its commands, its layout, placement and keys are units of their own (friends below).

#include "objdb/notify.h"
#include "services/session.h"
#include "users/operatorlogin.h"

#include <QHash>
#include <QList>
#include <functional>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class BusyMark;
class CurrentView;
class DeferredCommand;
struct FieldMenus;
class clsOSTNA;
struct ViewTotals;

namespace objdb {
struct ColumnSummary;
class DataSource;
enum class RelationKind;
}
namespace output {
struct ViewInfo;
}

class frmMain : public QMainWindow, public objdb::itfNotifyEvent {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The session and the current view, as the handlers and their callers know them. The grid
    // shows the view; m_blnRefreshing is set while RefreshDetailView runs.
    QString m_strOperatore;
    // This run's archive, its data context, the desk's mark and the operator, as start-up made them.
    Session &m_objSession;
    clsOSTNA *m_objTNA = nullptr;
    bool m_blnRefreshing = false;
    CurrentView &view() const { return *m_view; }

    // True while the hide-tree button shows the "show tree" arrow, i.e. the tree is hidden.
    bool cmdHideTreeShowsHidden() const;

    void SetStatusMsg(const QString &sMsg);
    void SetAppTitle();

    // Data-related commands of the window.
    void RefreshDetailView(const QString &p_strSortOrder = QString());
    bool UserLogin(bool p_blnChangeUser, bool p_blnChangePwd);
    void SetTreeViewNodes();

    // Section tree. Node indices are 1-based in the order the nodes were added, counting only
    // the nodes present; the selected node is the current section of the window.
    QTreeWidgetItem *nodeByIndex(int index) const;
    int indexOfNode(QTreeWidgetItem *node) const;
    QTreeWidgetItem *selectedNode() const;
    QString selectedNodeKey() const;
    QString selectedNodeText() const;
    void tvTreeView_Click();
    // A button of the section overview page: its tag is a node index or a node key.
    void acmdSectionItem_Click(int index);
    // Rebuilds the section overview page for the selected grouping node.
    void BuildSectionPage();

    // Date selection of the views with a date field.
    void UpdateDateSelectionCaption();
    void mnuSelAll_Click();
    void mnuSelDate_Click();
    void mnuSelMonth_Click();
    // A period chosen on the period dialog: from one day to another, both included.
    void mnuSelPeriod_Click();
    void cmdDateSel_Click();
    // One day (month, period) back or on, and the one that holds today; views with a date field only.
    void mnuSelPrevious_Click();
    void mnuSelNext_Click();
    void mnuSelToday_Click();
    void ReloadDatabase();
    void ReleaseDatabase();
    void PrintCurrentData(QObject *p_objSource, int p_Func, const QString &p_sTitle);
    // Output of the current view: its report printed, previewed or exported, the browser page, the
    // data export.
    void mnuPrint_Click();
    void mnuPreview_Click();
    void mnuPrintExport_Click();
    void mnuViewWebBrowser_Click();
    void mnuSave_Click();
    void mnuImport_Click();
    // Lets the current view's grid setting store the grid layout before the window unloads.
    void StoreGridLayout();

    // Grid layout of the current table.
    void cmdGridSetting_Click();
    void mnuGridFldAll_Click();
    void mnuGridFldSequence_Click();
    void mnuGridCancel_Click();

    // Session commands of the tools and help menus.
    void mnuToolsOptions_Click();
    void mnuChangeUser_Click();
    void mnuChangePwd_Click();
    // The closing summary: today's for an operator; the selected day, month or period, and any
    // other day, for the administrator.
    void mnuClosingSummary_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();
    // Maintenance commands of the tools menu (frmMain_maintenance.cpp).
    void mnuDeletePayment_Click();
    void mnuVerifyArchive_Click();
    void mnuDeletionLog_Click();
    void mnuTransferToServer_Click();
    // The conversion of the archive to Euro, once its key has been confirmed.
    void ConvertArchive();
    // The commands reserved to the administrator, enabled for him alone.
    void UpdateAdministratorCommands();

    void mnuFileNew_Click();
    void mnuFileDelete_Click();
    void mnuFileProperties_Click();

    // View toggles.
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuHideSection_Click();
    void cmdHideTree_Click();
    void mnuViewRefresh_Click();
    // Amounts shown in the archive's conversion currency, or back in its own.
    void mnuViewCurrencyConversion_Click();

    // Life of the window.
    void Form_Load();
    void Form_Activate();
    void mnuActivate_Click();
    void mnuClose_Click();
    void mnuFileClose_Click();
    // The tray icon reported a mouse event (clsOSTNA codes).
    void OnTrayNotification(int code);

    // Library notifications.
    void OnEvent(int action, QObject *source, const QString &detail) override;
    void OnInternalMessage(QObject *source, const QString &detail) override;
    void OnQueryMessage(QObject *source, int type, const QString &text, bool &cancel) override;
    void OnReportRequest(QObject *source, int func, const QString &title, const QString &details) override;

    // ---- Column filters and the complex filter ----
    void mnuFilterItems_Click(int Index);
    void mnuFilterCancel_Click();
    void mnuFieldFilter_Click();
    void mnuFieldFilterCancel_Click();
    void mnuFieldFilterCancelAll_Click();
    void mnuFilterComplex_Click();
    void mnuFilterComplexItems_Click(int Index);
    void RefreshComplexFilterItems();
    // Predefined selections of the current section.
    void mnuDataSelBeforeQuery_Click();
    void mnuDataSelCancel_Click();

    // ---- The detail view, the record commands and the command dispatch ----
    void dgView_DblClick();
    // A double click on a free area of the window: the editing panel on the data source's own
    // current row, whatever the grid shows as current.
    void Form_DblClick();
    void dgView_ColumnResize(int column, int oldSize, int newSize);
    void dgView_HeadClick(int column);
    void dgView_MouseUpRight(const QPoint &pos);
    void tbToolBar_ButtonClick(const QString &key);
    void tbToolBar_ButtonMenuClick(QAction *item);
    // Posts a command to tmFunc; its next tick runs it. A second post replaces a pending one.
    void PostCommand(std::function<void()> command);

    // ---- Associated data: the related rows of the current row in the data window ----
    // Rebuilds the three lists of mnuAssociation for the view's data source; p_blnClearOnly only
    // empties them.
    void BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly);
    void mnuReferencedItem_Click(int Index);
    void mnuRefItem_Click(int Index);
    void mnuContItem_Click(int Index);

    // ---- Totals and averages of a column over the rows of the view ----
    // Shows the message made of the column's summary once it is read (apart on a big archive).
    void CalculateTotalColumn(const QString &p_strColName, std::function<QString(const objdb::ColumnSummary &)> message);
    void mnuTotalItems_Click(int Index);
    void mnuAverageItems_Click(int Index);
    void mnuFieldTotal_Click();
    void mnuFieldAverage_Click();

    // ---- Text search ----
    void mnuSearchItems_Click(int Index);
    // Searches the column of mnuSearchItems(Index) for the text of the search dialog's fields.
    void ExecuteSearch(int Index);
    void mnuSearchNext_Click();
    void mnuFieldSearchNext_Click();

    // ---- Sorting ----
    void mnuOrderItems_Click(int Index);
    void mnuOrderCancel_Click();
    // The sort editor opens on the next tick of tmFunc.
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
    // The units that make, place and size the window's parts, and its keys.
    friend struct AssociatedMenus;
    friend struct MainWindowCommands;
    friend struct MainWindowControls;
    friend struct MainWindowToolbar;
    friend struct MainWindowMenus;
    friend struct MainWindowPlacement;
    friend struct RememberedSelection;
    friend class SplitterDrag;
    friend void LayoutMainWindow(frmMain &form, float p_sngX);
    friend void UpdateMainWindowMinimumSize(frmMain &form, double splitTwips);
    friend bool MainWindowKeyDown(frmMain &form, int key, Qt::KeyboardModifiers modifiers);

    // Controls; every one carries its name as objectName, as do the menus and items below.
    QToolBar *tbToolBar = nullptr;
    QWidget *picTitles = nullptr;
    QList<QLabel *> lblTitle;
    QPushButton *cmdHideTree = nullptr;
    QPushButton *cmdDateSel = nullptr;
    QTreeWidget *tvTreeView = nullptr;
    QWidget *imgSplitter = nullptr;
    QWidget *picSplitter = nullptr;
    QTableView *dgView = nullptr;
    QPushButton *cmdGridSetting = nullptr;
    QList<QPushButton *> acmdSectionItem;
    QStatusBar *sbStatusBar = nullptr;
    QLabel *sbPanel1 = nullptr;
    // Permanent section at the right of the status bar: the section and its row count.
    QLabel *sbRowCount = nullptr;
    // Under the grid of a dated view: row count and sums of the amount columns.
    QLabel *lblTotals = nullptr;
    // The view's reads apart from the window come and go with the mark.
    BusyMark *m_busyMark = nullptr;
    CurrentView *m_view = nullptr;
    DeferredCommand *tmFunc = nullptr;

    // Menus and their items. Item 0 of every array is a hidden template.
    QMenu *mnuFile = nullptr;
    QAction *mnuFileNew = nullptr, *mnuFileProperties = nullptr, *mnuFileDelete = nullptr,
            *mnuFileClose = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuViewToolbar = nullptr, *mnuViewStatusBar = nullptr, *mnuHideSection = nullptr,
            *mnuViewRefresh = nullptr, *mnuViewCurrencyConversion = nullptr;
    QMenu *mnuSearch = nullptr;
    QList<QAction *> mnuSearchItems;
    QAction *mnuSearchNext = nullptr;
    QMenu *mnuFilter = nullptr;
    QMenu *mnuFilterShort = nullptr;
    QList<QAction *> mnuFilterItems;
    QAction *mnuFilterComplex = nullptr;
    QList<QAction *> mnuFilterComplexItems;
    QAction *mnuFilterCancel = nullptr;
    QMenu *mnuOrder = nullptr;
    QMenu *mnuOrderShort = nullptr;
    QList<QAction *> mnuOrderItems;
    QAction *mnuOrderCancel = nullptr, *mnuOrderComplex = nullptr;
    QMenu *mnuSelection = nullptr;
    QAction *mnuSelAll = nullptr, *mnuSelDate = nullptr, *mnuSelMonth = nullptr, *mnuSelPeriod = nullptr;
    QAction *mnuSelPrevious = nullptr, *mnuSelNext = nullptr, *mnuSelToday = nullptr;
    QMenu *mnuAssociation = nullptr;
    QList<QAction *> mnuReferencedItem, mnuRefItem, mnuContItem;
    QMenu *mnuTools = nullptr;
    QAction *mnuToolsOptions = nullptr, *mnuChangeUser = nullptr, *mnuChangePwd = nullptr;
    QAction *mnuClosingSummary = nullptr;
    QAction *mnuDeletePayment = nullptr, *mnuVerifyArchive = nullptr, *mnuDeletionLog = nullptr;
    QMenu *mnuToolsTotal = nullptr, *mnuToolsAverage = nullptr;
    QList<QAction *> mnuTotalItems, mnuAverageItems;
    QMenu *mnuPrintFunc = nullptr;
    QAction *mnuPrint = nullptr, *mnuPreview = nullptr, *mnuPrintExport = nullptr;
    QAction *mnuViewWebBrowser = nullptr, *mnuSave = nullptr, *mnuImport = nullptr;
    QMenu *mnuFieldFuncs = nullptr;
    QAction *mnuFieldFilter = nullptr, *mnuFieldFilterCancel = nullptr, *mnuFieldFilterCancelAll = nullptr;
    QAction *mnuFieldSearchNext = nullptr;
    QAction *mnuFieldTotal = nullptr, *mnuFieldAverage = nullptr;
    QMenu *mnuDataSelection = nullptr;
    QAction *mnuDataSelBeforeQuery = nullptr, *mnuDataSelCancel = nullptr;
    QMenu *mnuGridSetting = nullptr;
    QAction *mnuGridFldAll = nullptr, *mnuGridFldSequence = nullptr, *mnuGridCancel = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr, *mnuHelpSearchForHelpOn = nullptr, *mnuHelpAbout = nullptr;
    QMenu *mnuPopUp = nullptr;
    QAction *mnuActivate = nullptr, *mnuClose = nullptr;

    // The toolbar action with the given key ("Find", "New", ...).
    QAction *toolbarAction(const QString &key) const;
    void setCmdHideTreeShowsHidden(bool hidden);
    // Current splitter position (left edge of imgSplitter) in twips.
    double splitterTwips() const;
    // Key and grid helpers of the current view.
    QString currentSectionKey() const;
    bool isViewBound() const;
    // The record commands act on the rows of a view, never on the computed statistics, and on a
    // current row when bookmark says which (-1: none is needed); otherwise they only beep.
    bool recordCommandApplies(bool needsGrid, qint64 bookmark) const;

    void connectTotalCommands();
    void connectSortCommands();
    void connectSearchCommands();
    // The item of mnuTotalItems for the grid's current column; 0 when it has none.
    int currentTotalItem() const;
    void clearFieldMenus();
    // Lets the view go with everything made for it; the grid is left without rows.
    void releaseView();
    // The column menus of the current view, as one.
    FieldMenus fieldMenus();
    void setDataCommandsEnabled(bool enabled);
    // The body of RefreshDetailView: the view of the selected node shown, or hidden for a grouping node.
    void refreshView(const QString &sortOrder);
    void showView(const QString &key, const QString &nodeText, const QString &sortOrder);
    void hideView(const QTreeWidgetItem *node);
    // What the output commands need of the current view and of this window.
    output::ViewInfo outputView() const;
    // The output commands act on a shown view; otherwise they only beep.
    bool outputApplies() const;
    void connectGridLayoutCommands();
    // An item of one of the associated-data lists: posts its command with the item's number.
    void AssociatedItem_Click(const QList<QAction *> &items, int Index);
    // The deferred command of an associated-data item.
    void ShowAssociatedCommand(objdb::RelationKind kind, int n);
    // The grid layout commands act on a shown, bound grid; otherwise they only beep.
    bool gridLayoutApplies() const;
    void connectViewSignals();
    // The check mark of mnuGridFldSequence: set while the grid setting holds a field sequence.
    void UpdateFieldSequenceMark();
    void connectFilterCommands();
    // The right-click filter commands; an empty value clears the column's condition.
    void filterCurrentColumn(const QString &value, bool cancelOnly);
    // Deferred: the editor on the complex filter.
    void EditComplexFilter();
    // The filter commands' marks: whether a filter is in force, and whether it is the complex one.
    void ShowFilterMarks(bool filtered, bool complex);
    // One day (month, period) back or on, or a beep where the selection cannot move.
    void stepDateSelection(int step);
    // Shows the conversion-currency item when the archive has a conversion currency.
    void UpdateCurrencyMenu();

    // Window-wide keys; true when the key is consumed.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The row count and the totals band of the current view, once the view has read them.
    void showViewTotals(const ViewTotals &totals);
    void showTotalsRefused(const QString &refusal);
    // The section the operator left, until the first tree of the run is built.
    QString m_strRememberedSection;
    void Form_Unload();
    void ensureTrayObject();

    OperatorLogin m_objLogin{this};
    bool m_blnUnloading = false;
    bool m_blnActivating = false;
    bool m_blnKeyFilterInstalled = false;
    // Where the last mouse click on cmdDateSel was released; -1 for a click from the keyboard.
    int m_intDateClickX = -1;
};
