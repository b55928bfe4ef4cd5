// The toolbar routed to the menu commands, and the deferred command of tmFunc: commands that
// rebuild the very menus that raised them run one timer tick later.

#include "app/frmMain.h"

#include "app/commandtable.h"
#include "services/deferredcommand.h"
#include "services/errorreport.h"
#include "objdb/datasource.h"
#include "views/currentview.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QMenu>
#include <QToolBar>

namespace {

// Triggers the numbered item; false when there is no such item.
bool triggerItem(const QList<QAction *> &items, int index)
{
    if (index <= 0 || index >= items.size())
        return false;
    items.at(index)->trigger();
    return true;
}

} // namespace

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    const QHash<QString, std::function<void()>> buttons{
        {QStringLiteral("Find"), [this] {
             if (!triggerItem(mnuSearchItems, toolbarAction(QStringLiteral("Find"))->property("tag").toInt()))
                 mnuSearch->popup(QCursor::pos());
         }},
        {QStringLiteral("Filter"), [this] {
             // The button's mark tells whether a filter is in force, whatever the click made of it.
             QAction *filter = toolbarAction(QStringLiteral("Filter"));
             filter->setCheckable(true);
             filter->setChecked(!m_view->m_objCurDS || !m_view->m_objCurDS->Filter().isEmpty());
             mnuFilter->popup(QCursor::pos());
         }},
        {QStringLiteral("Print"), [this] { mnuPrintFunc->popup(QCursor::pos()); }},
        {QStringLiteral("Delete"), [this] { mnuFileDelete_Click(); }},
        {QStringLiteral("New"), [this] { mnuFileNew_Click(); }},
        {QStringLiteral("Properties"), [this] { mnuFileProperties_Click(); }},
        {QStringLiteral("Refresh"), [this] { mnuViewRefresh_Click(); }},
        {QStringLiteral("Help"), [this] { mnuHelpContents_Click(); }},
        {QStringLiteral("Log"), [this] { mnuChangeUser_Click(); }},
    };
    if (const auto button = buttons.value(key))
        button();
}

void frmMain::tbToolBar_ButtonMenuClick(QAction *item)
{
    triggerItem(mnuSearchItems, item->property("index").toInt());
}

void frmMain::PostCommand(std::function<void()> command)
{
    tmFunc->post(std::move(command));
}
