// The section tree of the main window: the current section, its overview page and the section buttons.
#include "app/frmMain.h"

#include "app/minimumsize.h"
#include "app/rememberedselection.h"
#include "views/sectionpage.h"
#include "views/sectiontree.h"

#include "services/errorreport.h"
#include "services/twips.h"

#include <QPushButton>
#include <QTreeWidget>

void frmMain::SetTreeViewNodes()
{
    try {
        SectionTree::Refill(tvTreeView, m_objSession.dataContext.get());
    } catch (const std::exception &error) {
        ShowErrorReport(QString(), PendingError(error));
        return;
    }
    // The first tree of the run opens where the operator left the program.
    RememberedSelection::selectSection(*this);
    UpdateMainWindowMinimumSize(*this, splitterTwips());
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
    // A tag that names no node leaves the selection as it was.
    if (QPushButton *button = acmdSectionItem.value(index))
        if (QTreeWidgetItem *target = SectionTree::NodeByTag(tvTreeView, button->property("tag").toString()))
            tvTreeView->setCurrentItem(target);
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
