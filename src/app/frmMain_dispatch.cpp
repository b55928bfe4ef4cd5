// The toolbar routed to the menu commands, and the deferred command of tmFunc: commands that
// rebuild the very menus that raised them run one timer tick later.

#include "app/frmMain.h"

#include "services/errorreport.h"
#include "objdb/datasource.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolBar>

void frmMain::connectCommandDispatch()
{
    for (QAction *action : tbToolBar->actions()) {
        const QString key = action->property("key").toString();
        if (!key.isEmpty())
            connect(action, &QAction::triggered, this, [this, key] { RunReportingFailures([&] { tbToolBar_ButtonClick(key); }); });
    }
    connect(toolbarAction(QStringLiteral("Find"))->menu(), &QMenu::triggered, this, Guarded(this, &frmMain::tbToolBar_ButtonMenuClick));
    tmFunc->setInterval(1);
    connect(tmFunc, &QTimer::timeout, this, Guarded(this, &frmMain::tmFunc_Timer));
}

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
        filter->setChecked(!m_objCurDS || !m_objCurDS->Filter().isEmpty());
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

void frmMain::PostCommand(const QString &command)
{
    tmFunc->tag = command;
    tmFunc->start();
}

void frmMain::RegisterDeferredCommand(const QString &name, std::function<void(int)> command)
{
    m_deferredCommands.insert(name, std::move(command));
}

void frmMain::tmFunc_Timer()
{
    // A command still running (its editor open) keeps the next one waiting for a later tick.
    if (m_blnRunningCommand)
        return;
    m_blnRunningCommand = true;
    const QString command = tmFunc->tag;
    tmFunc->stop();
    tmFunc->tag.clear();
    try {
        // "mnuRefItem(3)" runs the command registered as "mnuRefItem" with 3; "mnuFilterComplex" with 0.
        QString name = command;
        int argument = 0;
        const int open = command.indexOf(QLatin1Char('('));
        if (open > 0 && command.endsWith(QLatin1Char(')'))) {
            name = command.left(open);
            argument = command.mid(open + 1, command.size() - open - 2).toInt();
        }
        if (const auto it = m_deferredCommands.constFind(name); it != m_deferredCommands.cend())
            it.value()(argument);
    } catch (const std::exception &) {
        m_blnRunningCommand = false;
        ShowErrorReport(QString(), PendingError::current());
        return;
    }
    m_blnRunningCommand = false;
}
