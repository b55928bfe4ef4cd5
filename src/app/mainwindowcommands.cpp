#include "app/mainwindowcommands.h"

#include "app/associatedmenus.h"
#include "app/frmMain.h"
#include "services/errorreport.h"
#include "views/treekeynavigation.h"
#include "objdb/relations/relations.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>

namespace {

using Handler = void (frmMain::*)();

} // namespace

void MainWindowCommands::connect(frmMain &form)
{
    connectMenuItems(form);
    QObject::connect(&form, &frmMain::currencyConversionRequested, &form, Guarded(&form, &frmMain::ConvertArchive));
    QObject::connect(form.cmdHideTree, &QPushButton::clicked, &form, &frmMain::cmdHideTree_Click);
    connectGrid(form);
    connectToolbar(form);
    connectViewCommands(form);
    connectTree(form);
    connectDateSelection(form);
    connectAssociatedData(form);
#if QT_CONFIG(sessionmanager)
    // The session ending closes the program for real, like "Chiudi".
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &form, [&form] { form.m_blnUnloading = true; });
#endif
}

void MainWindowCommands::connectMenuItems(frmMain &form)
{
    struct Command {
        QAction *frmMain::*item;
        Handler handler;
    };
    // Commands that reach the library report a failure instead of passing it to the event loop.
    static const Command guarded[] = {
        {&frmMain::mnuFileNew, &frmMain::mnuFileNew_Click},
        {&frmMain::mnuFileProperties, &frmMain::mnuFileProperties_Click},
        {&frmMain::mnuFileDelete, &frmMain::mnuFileDelete_Click},
        {&frmMain::mnuFileClose, &frmMain::mnuFileClose_Click},
        {&frmMain::mnuViewRefresh, &frmMain::mnuViewRefresh_Click},
        {&frmMain::mnuClose, &frmMain::mnuClose_Click},
        {&frmMain::mnuToolsOptions, &frmMain::mnuToolsOptions_Click},
        {&frmMain::mnuChangeUser, &frmMain::mnuChangeUser_Click},
        {&frmMain::mnuChangePwd, &frmMain::mnuChangePwd_Click},
        {&frmMain::mnuViewCurrencyConversion, &frmMain::mnuViewCurrencyConversion_Click},
        {&frmMain::mnuDeletePayment, &frmMain::mnuDeletePayment_Click},
        {&frmMain::mnuVerifyArchive, &frmMain::mnuVerifyArchive_Click},
        {&frmMain::mnuDeletionLog, &frmMain::mnuDeletionLog_Click},
        {&frmMain::mnuTransferToServer, &frmMain::mnuTransferToServer_Click},
        {&frmMain::mnuClosingSummary, &frmMain::mnuClosingSummary_Click},
        {&frmMain::mnuPrint, &frmMain::mnuPrint_Click},
        {&frmMain::mnuPreview, &frmMain::mnuPreview_Click},
        {&frmMain::mnuPrintExport, &frmMain::mnuPrintExport_Click},
        {&frmMain::mnuViewWebBrowser, &frmMain::mnuViewWebBrowser_Click},
        {&frmMain::mnuSave, &frmMain::mnuSave_Click},
        {&frmMain::mnuImport, &frmMain::mnuImport_Click},
        {&frmMain::mnuSelPrevious, &frmMain::mnuSelPrevious_Click},
        {&frmMain::mnuSelNext, &frmMain::mnuSelNext_Click},
        {&frmMain::mnuSelToday, &frmMain::mnuSelToday_Click},
    };
    // Commands of the window alone. Triggering a checkable item has already inverted its check mark.
    static const Command plain[] = {
        {&frmMain::mnuViewToolbar, &frmMain::mnuViewToolbar_Click},
        {&frmMain::mnuViewStatusBar, &frmMain::mnuViewStatusBar_Click},
        {&frmMain::mnuHideSection, &frmMain::mnuHideSection_Click},
        {&frmMain::mnuActivate, &frmMain::mnuActivate_Click},
        {&frmMain::mnuHelpContents, &frmMain::mnuHelpContents_Click},
        {&frmMain::mnuHelpSearchForHelpOn, &frmMain::mnuHelpSearchForHelpOn_Click},
        {&frmMain::mnuHelpAbout, &frmMain::mnuHelpAbout_Click},
    };
    for (const Command &command : guarded)
        QObject::connect(form.*command.item, &QAction::triggered, &form, Guarded(&form, command.handler));
    for (const Command &command : plain)
        QObject::connect(form.*command.item, &QAction::triggered, &form, command.handler);
}

void MainWindowCommands::connectToolbar(frmMain &form)
{
    for (QAction *action : form.tbToolBar->actions()) {
        const QString key = action->property("key").toString();
        if (!key.isEmpty())
            QObject::connect(action, &QAction::triggered, &form,
                             [&form, key] { RunReportingFailures([&] { form.tbToolBar_ButtonClick(key); }); });
    }
    QObject::connect(form.toolbarAction(QStringLiteral("Find"))->menu(), &QMenu::triggered, &form,
                     Guarded(&form, &frmMain::tbToolBar_ButtonMenuClick));
}

void MainWindowCommands::connectGrid(frmMain &form)
{
    QTableView *grid = form.dgView;
    QHeaderView *header = grid->horizontalHeader();
    QObject::connect(grid, &QTableView::doubleClicked, &form, [&form] { form.dgView_DblClick(); });
    QObject::connect(header, &QHeaderView::sectionResized, &form, &frmMain::dgView_ColumnResize);
    QObject::connect(header, &QHeaderView::sectionClicked, &form, &frmMain::dgView_HeadClick);
    // A header click sorts and selects nothing: the view's own choice of the column on a header
    // press (and on a drag over the headers) is let go.
    QObject::disconnect(header, &QHeaderView::sectionPressed, grid, nullptr);
    QObject::disconnect(header, &QHeaderView::sectionEntered, grid, nullptr);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, &form, &frmMain::dgView_MouseUpRight);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QWidget::customContextMenuRequested, &form,
                     [&form, header](const QPoint &pos) { form.mnuOrder->popup(header->mapToGlobal(pos)); });
}

void MainWindowCommands::connectTree(frmMain &form)
{
    QObject::connect(form.tvTreeView, &QTreeWidget::itemClicked, &form, Guarded(&form, &frmMain::tvTreeView_Click));
    OpenSectionsOnKeyboardMoves(form.tvTreeView,
                                [&form] { RunReportingFailures([&form] { form.tvTreeView_Click(); }); });
}

void MainWindowCommands::connectDateSelection(frmMain &form)
{
    QObject::connect(form.cmdDateSel, &QPushButton::clicked, &form, &frmMain::cmdDateSel_Click);
    // The click's position tells the button's arrows from its date.
    form.cmdDateSel->installEventFilter(&form);
    const QList<QPair<QAction *, Handler>> selectionCommands{
        {form.mnuSelAll, &frmMain::mnuSelAll_Click},
        {form.mnuSelDate, &frmMain::mnuSelDate_Click},
        {form.mnuSelMonth, &frmMain::mnuSelMonth_Click},
        {form.mnuSelPeriod, &frmMain::mnuSelPeriod_Click},
    };
    for (const auto &[item, handler] : selectionCommands) {
        item->setCheckable(true);
        // Triggering has already toggled the check mark; the handlers decide on the mark as it
        // was, and UpdateDateSelectionCaption sets the new one.
        QObject::connect(item, &QAction::triggered, &form, [&form, item, handler](bool checked) {
            item->setChecked(!checked);
            RunReportingFailures([&] { (form.*handler)(); });
        });
    }
}

void MainWindowCommands::connectAssociatedData(frmMain &form)
{
    // Header captions and relations of the three lists, in menu order.
    struct AssociatedList {
        QList<QAction *> frmMain::*items;
        const char *header;
        objdb::RelationKind kind;
    };
    static const AssociatedList lists[] = {
        {&frmMain::mnuReferencedItem, "< Associati >", objdb::RelationKind::References},
        {&frmMain::mnuRefItem, "< Riferimenti >", objdb::RelationKind::Referencing},
        {&frmMain::mnuContItem, "< Contenitori >", objdb::RelationKind::Containers},
    };
    for (const AssociatedList &list : lists) {
        QAction *header = (form.*list.items).first();
        header->setText(QString::fromUtf8(list.header));
        header->setEnabled(false);
        header->setProperty("kind", QVariant::fromValue(int(list.kind)));
    }
    QObject::connect(form.mnuAssociation, &QMenu::triggered, &form, [&form](QAction *item) {
        for (QList<QAction *> *items : {&form.mnuReferencedItem, &form.mnuRefItem, &form.mnuContItem}) {
            const int index = int(items->indexOf(item));
            if (index > 0)
                AssociatedMenus::choose(form, *items, index);
        }
    });
    // A right click on a row's number chooses the row and offers its associated data.
    QTableView *grid = form.dgView;
    grid->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid->verticalHeader(), &QWidget::customContextMenuRequested, &form,
                     [&form, grid](const QPoint &pos) {
                         QHeaderView *rows = grid->verticalHeader();
                         const int row = rows->logicalIndexAt(pos);
                         if (row < 0 || !grid->model())
                             return;
                         grid->setCurrentIndex(grid->model()->index(row, qMax(0, grid->currentIndex().column())));
                         form.mnuAssociation->popup(rows->viewport()->mapToGlobal(pos));
                     });
    form.BuildAssociatedMenus(nullptr, true);
}
