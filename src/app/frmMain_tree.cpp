// The section tree of the main window: the current section, its overview page and the section buttons.
#include "app/frmMain.h"

#include "app/minimumsize.h"
#include "app/rememberedselection.h"
#include "views/sectionpage.h"
#include "views/sectiontree.h"

#include "services/errorreport.h"
#include "services/twips.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

void frmMain::SetTreeViewNodes()
{
    const int selectedIndex = selectedNode() ? indexOfNode(selectedNode()) : 1;
    tvTreeView->clear();
    try {
        objdb::DataContext *context = m_objSession.dataContext.get();
        if (!context)
            objdb::fail(QStringLiteral("Il database non è aperto."));
        SectionTree::Fill(tvTreeView, *context, context->UserLevel == 1);
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
    RememberedSelection::selectSection(*this);
    UpdateMainWindowMinimumSize(*this, splitterTwips());
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

void frmMain::BuildSectionPage()
{
    const QTreeWidgetItem *node = selectedNode();
    const QTreeWidgetItem *section = selectedNodeKey().isEmpty() ? node : nullptr;
    const auto clicked = [this](int element) { RunReportingFailures([&] { acmdSectionItem_Click(element); }); };
    const bool shown =
        SectionPage::Build(acmdSectionItem, section, splitterTwips(), Twips::fromPixelsY(tvTreeView->y()), clicked);
    // The tree cannot be hidden while its section is shown here.
    cmdHideTree->setEnabled(!shown);
}
