#include "app/minimumsize.h"

#include "app/frmMain.h"
#include "app/layout.h"
#include "services/twips.h"
#include "views/sectionpage.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

// The tree as wide as the splitter puts it, or wider when a label needs it.
int treeWidth(int titleWidth, QTreeWidget &tree, double splitTwips)
{
    using namespace Layout;
    const auto px = [](double twips) { return Twips::toPixelsX(twips); };
    int labels = titleWidth;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        const int label = depth * tree.indentation() + tree.iconSize().width()
            + tree.fontMetrics().horizontalAdvance((*it)->text(0)) + 2 * tree.frameWidth() + px(120);
        labels = std::max(labels, label);
    }
    return std::max({px(kMinTreePosition - kTreeLeft), px(splitTwips - kTreeLeft), labels});
}

// The widest heading of a section page (bold, inside its button's frame).
int sectionHeadingWidth(QTreeWidget &tree)
{
    int heading = 0;
    QPushButton probe;
    QFont bold = probe.font();
    bold.setBold(true);
    probe.setFont(bold);
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if ((*it)->childCount() == 0)
            continue;
        probe.setText(SectionPage::Heading((*it)->text(0)));
        heading = std::max(heading, probe.sizeHint().width() + Twips::toPixelsX(Layout::kSectionHeadingMargins));
    }
    return heading;
}

} // namespace

void UpdateMainWindowMinimumSize(frmMain &form, double splitTwips)
{
    using namespace Layout;
    const auto px = [](double twips) { return Twips::toPixelsX(twips); };
    const int tree = treeWidth(form.lblTitle[0]->sizeHint().width(), *form.tvTreeView, splitTwips);
    // Right of the splitter: the title bar in full, or one column of the section page, and the
    // heading of every section page in full.
    const int titles = px(20 + kHideTreeButtonWidth + 10 + 10 + 30) + form.lblTitle[1]->sizeHint().width()
        + std::max(px(kDateButtonWidth), form.cmdDateSel->sizeHint().width());
    const int right = std::max({titles, px(kSectionPageMinWidth), sectionHeadingWidth(*form.tvTreeView)});
    const int width = std::max(px(kMinWindowWidth), tree + right + px(220));

    const auto py = [](double twips) { return Twips::toPixelsY(twips); };
    const int bars = form.menuBar()->sizeHint().height()
        + (form.mnuViewToolbar->isChecked() ? form.tbToolBar->sizeHint().height() : 0)
        + (form.mnuViewStatusBar->isChecked() ? form.sbStatusBar->sizeHint().height() : 0);
    const int height = bars + py(kTitlesHeight + kSplitterWidth + kSectionPageMinHeight + kTotalsHeight);
    if (form.minimumSize() != QSize(width, height))
        form.setMinimumSize(width, height);
}
