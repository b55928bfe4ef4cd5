// Load, first activation, close and unload of the main window, and its tray icon.
#include "app/frmMain.h"

#include "app/rememberedselection.h"
#include "app/startup.h"
#include "app/windowplacement.h"
#include "services/modGlobal.h"
#include "services/errorreport.h"
#include "desktop/clsOSTNA.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

void frmMain::Form_Load()
{
    ensureTrayObject();
    m_objTNA->IconStart(windowIcon(), windowTitle());
    SetAppTitle();
    RememberedSelection::restore(*this);
    // The layout appends the current item's name to this designed caption.
    lblTitle[1]->setProperty("tag", lblTitle[1]->text());
    UpdateDateSelectionCaption();
    // Placed once the menus carry the captions they open with.
    MainWindowPlacement::restore(*this);
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
        if (!m_objSession.database && !m_objSession.dataContext) {
            modGlobal::InitDatabase(m_objSession, this, this);
            // Without a usable database nothing can work: end rather than ask for an operator
            // and fail again on every activation.
            if (!m_objSession.isReady() || !UserLogin(true, false)) {
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
    MainWindowPlacement::store(*this);
    RememberedSelection::store(*this);

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
