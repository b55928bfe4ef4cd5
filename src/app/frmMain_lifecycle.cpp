// Load, first activation, close and unload of the main window.
#include "app/frmMain.h"

#include "app/rememberedselection.h"
#include "app/startup.h"
#include "app/windowplacement.h"
#include "services/errorreport.h"
#include "app/mainwindowtray.h"
#include "desktop/clsOSTNA.h"
#include "desktop/modOSWinUtil.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTableView>

void frmMain::Form_Load()
{
    MainWindowTray::icon(*this).IconStart(windowIcon(), windowTitle());
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
    bool usable = true;
    {
        const QScopedValueRollback activating(m_blnActivating, true);
        // A failure is reported; the window stays as it was.
        RunReportingFailures([&] {
            usable = m_objSession.database || m_objSession.dataContext || openSession();
            dgView->viewport()->update();
        });
    }
    if (!usable)
        mnuFileClose_Click();
}

bool frmMain::openSession()
{
    modGlobal::InitDatabase(m_objSession, this, this);
    // Without a usable database nothing can work: end rather than ask for an operator and fail
    // again on every activation.
    if (!m_objSession.isReady() || !UserLogin(true, false))
        return false;
    SetTreeViewNodes();
    RefreshDetailView(QString());
    UpdateCurrencyMenu();
    return true;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_blnUnloading) {
        // The close box keeps the program running behind its tray icon. Without a notification
        // area the icon could never bring it back, so the window is minimised instead.
        event->ignore();
        if (MainWindowTray::canHide(*this))
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

    MainWindowTray::icon(*this).IconStop();
    // The main window ends last.
    modOSWinUtil::CloseOtherWindows(*this);
    QCoreApplication::quit();
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
