// The section tree of the main window: the current section and the section buttons.
#include "app/frmMain.h"

#include "views/sectiontree.h"

#include "services/errorreport.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QAction>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

bool isAdministrator()
{
    return modGlobal::g_objDataContext->UserLevel == 1;
}

// Moving through the tree with the keyboard opens the section reached, as a click does.
class TreeKeyNavigation : public QObject {
public:
    TreeKeyNavigation(QTreeWidget *tree, frmMain *form) : QObject(tree), m_tree(tree), m_form(form) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QTreeWidgetItem *before = m_tree->currentItem();
            QTimer::singleShot(0, m_form, [tree = m_tree, form = m_form, before] {
                if (tree->currentItem() != before)
                    RunReportingFailures([form] { form->tvTreeView_Click(); });
            });
        }
        return false;
    }

private:
    QTreeWidget *m_tree;
    frmMain *m_form;
};

} // namespace

void frmMain::connectViewCommands()
{
    connect(tvTreeView, &QTreeWidget::itemClicked, this, Guarded(this, &frmMain::tvTreeView_Click));
    tvTreeView->installEventFilter(new TreeKeyNavigation(tvTreeView, this));
    connect(cmdDateSel, &QPushButton::clicked, this, &frmMain::cmdDateSel_Click);
    // The click's position tells the button's arrows from its date.
    cmdDateSel->installEventFilter(this);
    connect(mnuSelPrevious, &QAction::triggered, this, Guarded(this, &frmMain::mnuSelPrevious_Click));
    connect(mnuSelNext, &QAction::triggered, this, Guarded(this, &frmMain::mnuSelNext_Click));
    connect(mnuSelToday, &QAction::triggered, this, Guarded(this, &frmMain::mnuSelToday_Click));
    const QList<QPair<QAction *, void (frmMain::*)()>> selectionCommands{
        {mnuSelAll, &frmMain::mnuSelAll_Click},
        {mnuSelDate, &frmMain::mnuSelDate_Click},
        {mnuSelMonth, &frmMain::mnuSelMonth_Click},
        {mnuSelPeriod, &frmMain::mnuSelPeriod_Click},
    };
    for (const auto &[item, handler] : selectionCommands) {
        item->setCheckable(true);
        // Triggering has already toggled the check mark; the handlers decide on the mark as it
        // was, and UpdateDateSelectionCaption sets the new one.
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            RunReportingFailures([&] { (this->*handler)(); });
        });
    }
}

void frmMain::SetTreeViewNodes()
{
    const int selectedIndex = selectedNode() ? indexOfNode(selectedNode()) : 1;
    tvTreeView->clear();
    try {
        if (!modGlobal::g_objDataContext)
            objdb::fail(QStringLiteral("Il database non è aperto."));
        SectionTree::Fill(tvTreeView, *modGlobal::g_objDataContext, isAdministrator());
    } catch (const std::exception &error) {
        ShowErrorReport(QString(), PendingError(error));
        return;
    }

    // The index is restored, not the section: after a change of operator it may name another node.
    if (QTreeWidgetItem *node = nodeByIndex(selectedIndex)) {
        tvTreeView->setCurrentItem(node);
    } else {
        tvTreeView->setCurrentItem(nullptr);
        tvTreeView->clearSelection();
    }
    // The first tree of the run opens where the operator left the program.
    selectRememberedSection();
    updateMinimumSize(splitterTwips());
}

QTreeWidgetItem *frmMain::nodeByIndex(int index) const
{
    return SectionTree::NodeByIndex(tvTreeView, index);
}

int frmMain::indexOfNode(QTreeWidgetItem *node) const
{
    return SectionTree::IndexOf(node);
}

QTreeWidgetItem *frmMain::selectedNode() const
{
    return SectionTree::SelectedNode(tvTreeView);
}

QString frmMain::selectedNodeKey() const
{
    return SectionTree::KeyOf(selectedNode());
}

QString frmMain::selectedNodeText() const
{
    const QTreeWidgetItem *node = selectedNode();
    return node ? node->text(0) : QString();
}

void frmMain::tvTreeView_Click()
{
    RefreshDetailView(QString());
}

void frmMain::acmdSectionItem_Click(int index)
{
    if (index >= 0 && index < acmdSectionItem.size()) {
        const QString tag = acmdSectionItem[index]->property("tag").toString();
        bool numeric = false;
        const int nodeIndex = tag.toInt(&numeric);
        QTreeWidgetItem *target = numeric ? nodeByIndex(nodeIndex) : SectionTree::NodeByKey(tvTreeView, tag);
        // A tag that names no node leaves the selection as it was.
        if (target)
            tvTreeView->setCurrentItem(target);
    }
    RefreshDetailView(QString());
}
