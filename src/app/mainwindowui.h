#pragma once
// The widgets of the main window, as the window's code names them: made by MainWindowControls,
// MainWindowToolbar and MainWindowMenus, owned by the window through Qt's parent tree. The window
// inherits them, as a window inherits its designed form.

#include <QList>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolBar;
class QTreeWidget;
class QWidget;

struct MainWindowUi {
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
    QAction *mnuTransferToServer = nullptr;
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
};
