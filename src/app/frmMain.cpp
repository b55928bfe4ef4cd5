// The main window made, its small helpers, the toolbar routed to the menu commands, and the
// deferred command of tmFunc: commands that rebuild the very menus that raised them run one tick later.

#include "app/frmMain.h"

#include "app/mainwindowcommands.h"
#include "app/mainwindowcontrols.h"
#include "app/splitterdrag.h"
#include "app/startup.h"
#include "services/deferredcommand.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "views/currentview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), m_objSession(modGlobal::AppSession())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QLatin1String(modGlobal::kProductName));
    setWindowIcon(QIcon(QStringLiteral(":/cobrelle.png")));
    MainWindowControls::create(*this);
    MainWindowToolbar::create(*this);
    MainWindowMenus::create(*this);
    new SplitterDrag(*this);
    MainWindowCommands::connect(*this);
}

frmMain::~frmMain()
{
    if (m_blnKeyFilterInstalled)
        qApp->removeEventFilter(this);
}

QAction *frmMain::toolbarAction(const QString &key) const
{
    return tbToolBar->findChild<QAction *>(QStringLiteral("tbToolBar_") + key);
}

bool frmMain::cmdHideTreeShowsHidden() const
{
    return cmdHideTree->text() == QStringLiteral("▶");
}

void frmMain::setCmdHideTreeShowsHidden(bool hidden)
{
    // Left arrow: the tree is shown and can be hidden; right arrow: it is hidden.
    cmdHideTree->setText(hidden ? QStringLiteral("▶") : QStringLiteral("◀"));
}

double frmMain::splitterTwips() const
{
    return Twips::fromPixelsX(imgSplitter->x());
}

void frmMain::SetStatusMsg(const QString &sMsg)
{
    sbPanel1->setText(sMsg);
    sbPanel1->setToolTip(sMsg);
}

void frmMain::SetAppTitle()
{
    setWindowTitle(QLatin1String(modGlobal::kProductName) + QStringLiteral("  [ ") + m_strOperatore + QStringLiteral(" ]"));
}

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    MainWindowToolbar::runButton(*this, key);
}

void frmMain::tbToolBar_ButtonMenuClick(QAction *item)
{
    MainWindowToolbar::triggerSearchItem(*this, item->property("index").toInt());
}

void frmMain::PostCommand(std::function<void()> command)
{
    tmFunc->post(std::move(command));
}
