// Load, first activation, close and unload of the main window, and its tray icon.
#include "app/frmMain.h"

#include "services/configuration.h"
#include "app/layout.h"
#include "app/startup.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "services/errorreport.h"
#include "desktop/clsOSTNA.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <cmath>

namespace {
enum WindowStateCode { StateNormal = 0, StateMinimised = 1, StateMaximised = 2 };

// The width the bar needs to show every menu in one row, none behind its extension button.
int widthOfAllMenus(const QMenuBar &bar)
{
    bar.ensurePolished();
    const QStyle *style = bar.style();
    const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &bar);
    int width = 2 * (style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &bar)
                     + style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &bar));
    for (QAction *menu : bar.actions()) {
        if (!menu->isVisible())
            continue;
        QStyleOptionMenuItem option;
        option.initFrom(&bar);
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.text = menu->text();
        const QSize text = bar.fontMetrics().size(Qt::TextShowMnemonic, menu->text());
        width += style->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, &bar).width() + spacing;
    }
    // The date selection's title grows with the view's date field and the date shown.
    return width + bar.fontMetrics().horizontalAdvance(QString(20, QLatin1Char('x')));
}

} // namespace

void frmMain::connectHandlers()
{
    // Commands that reach the library report a failure instead of passing it to the event loop.
    connect(mnuFileNew, &QAction::triggered, this, Guarded(this, &frmMain::mnuFileNew_Click));
    connect(mnuFileProperties, &QAction::triggered, this, Guarded(this, &frmMain::mnuFileProperties_Click));
    connect(mnuFileDelete, &QAction::triggered, this, Guarded(this, &frmMain::mnuFileDelete_Click));
    connect(mnuFileClose, &QAction::triggered, this, Guarded(this, &frmMain::mnuFileClose_Click));
    // Triggering a checkable item has already inverted its check mark.
    connect(mnuViewToolbar, &QAction::triggered, this, &frmMain::mnuViewToolbar_Click);
    connect(mnuViewStatusBar, &QAction::triggered, this, &frmMain::mnuViewStatusBar_Click);
    connect(mnuHideSection, &QAction::triggered, this, &frmMain::mnuHideSection_Click);
    connect(mnuViewRefresh, &QAction::triggered, this, Guarded(this, &frmMain::mnuViewRefresh_Click));
    connect(cmdHideTree, &QPushButton::clicked, this, &frmMain::cmdHideTree_Click);
    connect(mnuActivate, &QAction::triggered, this, &frmMain::mnuActivate_Click);
    connect(mnuClose, &QAction::triggered, this, Guarded(this, &frmMain::mnuClose_Click));
    connectSessionCommands();
    connectMaintenanceCommands();
    connectRecordCommands();
    connectCommandDispatch();
    connectTotalCommands();
    connectClosingSummary();
    connectSortCommands();
    connectSearchCommands();
    connectViewCommands();
    connectOutputCommands();
    connectImportCommand();
    connectGridLayoutCommands();
    connectFilterCommands();
    connectAssociatedCommands();
#if QT_CONFIG(sessionmanager)
    // The session ending closes the program for real, like "Chiudi".
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_blnUnloading = true; });
#endif
}

void frmMain::restorePlacement()
{
    const double split = Settings::readNumber(QStringLiteral("MainSplit"), 3500);
    const int state = int(Settings::readNumber(QStringLiteral("MainState"), StateNormal));
    // The stored size, or the default, never below what the window's content needs.
    updateMinimumSize(split);
    if (std::isnan(Settings::readNumber(QStringLiteral("MainWidth"), qQNaN()))
        && std::isnan(Settings::readNumber(QStringLiteral("MainHeight"), qQNaN()))) {
        setGeometry(FirstStartPlacement());
    } else {
        const double left = Settings::readNumber(QStringLiteral("MainLeft"), 1000);
        const double top = Settings::readNumber(QStringLiteral("MainTop"), 1000);
        const double width = Settings::readNumber(QStringLiteral("MainWidth"), 6500);
        const double height = Settings::readNumber(QStringLiteral("MainHeight"), 6500);
        setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width), Twips::toPixelsY(height));
    }
    if (state == StateMaximised)
        setWindowState(Qt::WindowMaximized);
    else if (state == StateMinimised)
        setWindowState(Qt::WindowMinimized);
    imgSplitter->move(Twips::toPixelsX(split), imgSplitter->y());
}

QRect frmMain::FirstStartPlacement() const
{
    // About three quarters of the screen, wide enough for every menu and for what the content
    // needs, within the screen and centred on it.
    const QRect available = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
    QSize size = (available.size() * 3 / 4).expandedTo(minimumSize());
    size.setWidth(std::max(size.width(), widthOfAllMenus(*menuBar())));
    size = size.boundedTo(available.size());
    QRect placement(QPoint(), size);
    placement.moveCenter(available.center());
    return placement;
}

void frmMain::Form_Load()
{
    ensureTrayObject();
    m_objTNA->IconStart(windowIcon(), windowTitle());
    SetAppTitle();
    restoreRememberedSelection();
    // The layout appends the current item's name to this designed caption.
    lblTitle[1]->setProperty("tag", lblTitle[1]->text());
    UpdateDateSelectionCaption();
    // Placed once the menus carry the captions they open with.
    restorePlacement();
}

void frmMain::Form_Activate()
{
    // A dialog opened from here (options, login) re-activates the window when it closes.
    if (m_blnActivating || m_blnUnloading)
        return;
    m_blnActivating = true;
    bool close = false;
    // A failure is reported; the window stays as it was.
    RunReportingFailures([&] {
        if (!modGlobal::g_objDatabase && !modGlobal::g_objDataContext) {
            modGlobal::InitDatabase();
            // Without a usable database nothing can work: end rather than ask for an operator
            // and fail again on every activation.
            if (!modGlobal::IsDatabaseReady() || !UserLogin(true, false)) {
                close = true;
                return;
            }
            SetTreeViewNodes();
            RefreshDetailView(QString());
            UpdateCurrencyMenu();
        }
        dgView->viewport()->update();
    });
    m_blnActivating = false;
    if (close)
        mnuFileClose_Click();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_blnUnloading) {
        // The close box keeps the program running behind its tray icon. Without a notification
        // area the icon could never bring it back, so the window is minimised instead.
        event->ignore();
        if (QSystemTrayIcon::isSystemTrayAvailable() && m_objTNA && m_objTNA->isStarted())
            hide();
        else
            showMinimized();
        return;
    }
    StoreGridLayout();
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    const int state = isMinimized() ? StateMinimised : isMaximized() ? StateMaximised : StateNormal;
    Settings::writeNumber(QStringLiteral("MainState"), state);
    // A maximised or minimised window stores the placement it returns to.
    const QRect normal = state == StateNormal ? geometry() : normalGeometry();
    Settings::writeNumber(QStringLiteral("MainLeft"), std::round(Twips::fromPixelsX(normal.x())));
    Settings::writeNumber(QStringLiteral("MainTop"), std::round(Twips::fromPixelsY(normal.y())));
    Settings::writeNumber(QStringLiteral("MainWidth"), std::round(Twips::fromPixelsX(normal.width())));
    Settings::writeNumber(QStringLiteral("MainHeight"), std::round(Twips::fromPixelsY(normal.height())));
    const double split = splitterTwips();
    if (split > 0)
        Settings::writeNumber(QStringLiteral("MainSplit"), std::round(split));
    storeRememberedPlace();

    ensureTrayObject();
    m_objTNA->IconStop();

    // Most recently opened first; the main window ends last.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *window = *it;
        if (window != this && window->isWindow() && !qobject_cast<QMenu *>(window) && window->isVisible())
            window->close();
    }
    QCoreApplication::quit();
}

void frmMain::ensureTrayObject()
{
    if (m_objTNA)
        return;
    m_objTNA = new clsOSTNA(this);
    // The icon shows the menu itself on a right click: several desktops reach a tray menu only so.
    m_objTNA->trayIcon()->setContextMenu(mnuPopUp);
    connect(m_objTNA, &clsOSTNA::notification, this, &frmMain::OnTrayNotification);
}

void frmMain::OnTrayNotification(int code)
{
    // A single click is all many desktops report; a double click starts with one.
    if ((clsOSTNA::IsLeftButton(code) || clsOSTNA::IsDoubleClick(code)) && (!isVisible() || isMinimized()))
        mnuActivate_Click();
}

void frmMain::mnuActivate_Click()
{
    show();
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void frmMain::mnuClose_Click()
{
    m_blnUnloading = true;
    close();
}

void frmMain::mnuFileClose_Click()
{
    mnuClose_Click();
}
