// Resizing and the view toggles of the main window, handed to its layout.
#include "app/frmMain.h"

#include "app/layout.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutMainWindow(*this, float(splitterTwips()));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The resize that precedes the first show arrives while the window is not yet visible.
    LayoutMainWindow(*this, float(splitterTwips()));
}

void frmMain::mnuViewToolbar_Click()
{
    tbToolBar->setVisible(mnuViewToolbar->isChecked());
    LayoutMainWindow(*this, float(splitterTwips()));
}

void frmMain::mnuViewStatusBar_Click()
{
    sbStatusBar->setVisible(mnuViewStatusBar->isChecked());
    LayoutMainWindow(*this, float(splitterTwips()));
}

void frmMain::mnuHideSection_Click()
{
    // The check mark mirrors the tree; the layout sets it again.
    LayoutMainWindow(*this, cmdHideTreeShowsHidden() ? -1.0f : 0.0f);
}

void frmMain::cmdHideTree_Click()
{
    mnuHideSection_Click();
}

void frmMain::mnuViewRefresh_Click()
{
    if (MessageService::appliesOrBeep(!dgView->isHidden() && m_view->isBound()))
        RefreshDetailView(QString());
}
