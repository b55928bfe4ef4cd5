// The main window's toolbar: one button per command key, "Find" with the list of fields.
#include "app/mainwindowcontrols.h"

#include "app/frmMain.h"
#include "views/currentview.h"
#include "objdb/datasource.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

void MainWindowToolbar::create(frmMain &form)
{
    form.tbToolBar = new QToolBar(&form);
    form.tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    form.tbToolBar->setMovable(false);
    form.addToolBar(Qt::TopToolBarArea, form.tbToolBar);

    struct Button {
        const char *key;
        const char *tip;
        QStyle::StandardPixmap icon;
    };
    static const Button buttons[] = {
        {"Find", "Cerca", QStyle::SP_FileDialogContentsView},
        {"Filter", "Filtra", QStyle::SP_FileDialogListView},
        {"Print", "Stampa", QStyle::SP_DialogSaveButton},
        {"Delete", "Elimina", QStyle::SP_TrashIcon},
        {"New", "Nuovo", QStyle::SP_FileIcon},
        {"Properties", "Modifica", QStyle::SP_FileDialogDetailedView},
        {"Refresh", "Aggiorna", QStyle::SP_BrowserReload},
        {"Help", "Guida", QStyle::SP_DialogHelpButton},
        {"Log", "Cambia Operatore", QStyle::SP_DialogYesButton},
    };
    for (const Button &b : buttons) {
        auto *action = form.tbToolBar->addAction(form.style()->standardIcon(b.icon), QString::fromUtf8(b.tip));
        action->setObjectName(QStringLiteral("tbToolBar_") + QLatin1String(b.key));
        action->setToolTip(QString::fromUtf8(b.tip));
        action->setProperty("key", QLatin1String(b.key));
    }

    // "Find" drops down the list of fields; its tag holds the index of the default search item.
    QAction *find = form.toolbarAction(QStringLiteral("Find"));
    auto *findMenu = new QMenu(&form);
    findMenu->setObjectName(QStringLiteral("tbToolBar_FindMenu"));
    find->setMenu(findMenu);
    find->setProperty("tag", QString());
    if (auto *button = qobject_cast<QToolButton *>(form.tbToolBar->widgetForAction(find))) {
        button->setObjectName(QStringLiteral("tbToolBar_FindButton"));
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

bool MainWindowToolbar::triggerSearchItem(frmMain &form, int index)
{
    if (index <= 0 || index >= form.mnuSearchItems.size())
        return false;
    form.mnuSearchItems.at(index)->trigger();
    return true;
}

void MainWindowToolbar::runButton(frmMain &form, const QString &key)
{
    const QHash<QString, std::function<void()>> buttons{
        {QStringLiteral("Find"), [&form] {
             if (!triggerSearchItem(form, form.toolbarAction(QStringLiteral("Find"))->property("tag").toInt()))
                 form.mnuSearch->popup(QCursor::pos());
         }},
        {QStringLiteral("Filter"), [&form] {
             // The button's mark tells whether a filter is in force, whatever the click made of it.
             QAction *filter = form.toolbarAction(QStringLiteral("Filter"));
             const auto &ds = form.view().m_objCurDS;
             filter->setCheckable(true);
             filter->setChecked(!ds || !ds->Filter().isEmpty());
             form.mnuFilter->popup(QCursor::pos());
         }},
        {QStringLiteral("Print"), [&form] { form.mnuPrintFunc->popup(QCursor::pos()); }},
        {QStringLiteral("Delete"), [&form] { form.mnuFileDelete_Click(); }},
        {QStringLiteral("New"), [&form] { form.mnuFileNew_Click(); }},
        {QStringLiteral("Properties"), [&form] { form.mnuFileProperties_Click(); }},
        {QStringLiteral("Refresh"), [&form] { form.mnuViewRefresh_Click(); }},
        {QStringLiteral("Help"), [&form] { form.mnuHelpContents_Click(); }},
        {QStringLiteral("Log"), [&form] { form.mnuChangeUser_Click(); }},
    };
    if (const auto button = buttons.value(key))
        button();
}
