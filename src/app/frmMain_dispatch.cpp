// The toolbar routed to the menu commands, and the deferred command of tmFunc: commands that
// rebuild the very menus that raised them run one timer tick later.

#include "app/frmMain.h"

#include "services/deferredcommand.h"
#include "services/errorreport.h"
#include "objdb/datasource.h"
#include "views/currentview.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolBar>

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    if (key == QLatin1String("Find")) {
        bool numeric = false;
        const int index = toolbarAction(key)->property("tag").toString().toInt(&numeric);
        if (numeric && index > 0 && index < mnuSearchItems.size())
            mnuSearchItems.at(index)->trigger();
        else
            mnuSearch->popup(QCursor::pos());
    } else if (key == QLatin1String("Filter")) {
        QAction *filter = toolbarAction(key);
        filter->setCheckable(true);
        filter->setChecked(!m_view->m_objCurDS || !m_view->m_objCurDS->Filter().isEmpty());
        mnuFilter->popup(QCursor::pos());
    } else if (key == QLatin1String("Print")) {
        mnuPrintFunc->popup(QCursor::pos());
    } else if (key == QLatin1String("Delete")) {
        mnuFileDelete_Click();
    } else if (key == QLatin1String("New")) {
        mnuFileNew_Click();
    } else if (key == QLatin1String("Properties")) {
        mnuFileProperties_Click();
    } else if (key == QLatin1String("Refresh")) {
        mnuViewRefresh_Click();
    } else if (key == QLatin1String("Help")) {
        mnuHelpContents_Click();
    } else if (key == QLatin1String("Log")) {
        mnuChangeUser_Click();
    }
}

void frmMain::tbToolBar_ButtonMenuClick(QAction *item)
{
    bool ok = false;
    const int index = item->property("index").toInt(&ok);
    if (ok && index > 0 && index < mnuSearchItems.size())
        mnuSearchItems.at(index)->trigger();
}

void frmMain::PostCommand(std::function<void()> command)
{
    tmFunc->post(std::move(command));
}
