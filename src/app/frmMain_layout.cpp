// Resizing, the splitter drag and the view toggles of the main window.
#include "app/frmMain.h"

#include "app/layout.h"
#include "services/messageservice.h"
#include "services/twips.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutMainWindow(float(splitterTwips()));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The resize that precedes the first show arrives while the window is not yet visible.
    LayoutMainWindow(float(splitterTwips()));
}

void frmMain::updateMinimumSize(double splitTwips)
{
    using namespace Layout;
    const auto px = [](double twips) { return Twips::toPixelsX(twips); };
    // The tree as wide as the splitter puts it, or wider when a label needs it.
    int treeLabels = lblTitle[0]->sizeHint().width();
    for (QTreeWidgetItemIterator it(tvTreeView); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        const int label = depth * tvTreeView->indentation() + tvTreeView->iconSize().width()
            + tvTreeView->fontMetrics().horizontalAdvance((*it)->text(0)) + 2 * tvTreeView->frameWidth() + px(120);
        treeLabels = std::max(treeLabels, label);
    }
    const int tree = std::max({px(kMinTreePosition - kTreeLeft), px(splitTwips - kTreeLeft), treeLabels});
    // Right of the splitter: the title bar in full, or one column of the section page.
    const int titles = px(20 + kHideTreeButtonWidth + 10 + 10 + 30) + lblTitle[1]->sizeHint().width()
        + std::max(px(kDateButtonWidth), cmdDateSel->sizeHint().width());
    // ...and the heading of every section page in full (bold, inside its button's frame).
    int heading = 0;
    QPushButton probe;
    QFont bold = probe.font();
    bold.setBold(true);
    probe.setFont(bold);
    for (QTreeWidgetItemIterator it(tvTreeView); *it; ++it) {
        if ((*it)->childCount() == 0)
            continue;
        probe.setText(SectionHeading((*it)->text(0)));
        heading = std::max(heading, probe.sizeHint().width() + px(kSectionHeadingMargins));
    }
    const int right = std::max({titles, px(kSectionPageMinWidth), heading});
    const int width = std::max(px(kMinWindowWidth), tree + right + px(220));

    const auto py = [](double twips) { return Twips::toPixelsY(twips); };
    const int bars = menuBar()->sizeHint().height() + (mnuViewToolbar->isChecked() ? tbToolBar->sizeHint().height() : 0)
        + (mnuViewStatusBar->isChecked() ? sbStatusBar->sizeHint().height() : 0);
    const int height = bars + py(kTitlesHeight + kSplitterWidth + kSectionPageMinHeight + kTotalsHeight);
    if (minimumSize() != QSize(width, height))
        setMinimumSize(width, height);
}

bool frmMain::splitterMouseEvent(QEvent *event)
{
    using namespace Layout;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        picSplitter->setGeometry(imgSplitter->x(), imgSplitter->y(), imgSplitter->width() / 2,
                                 std::max(0, imgSplitter->height() - Twips::toPixelsY(20)));
        picSplitter->show();
        picSplitter->raise();
        m_blnMoving = true;
        return true;
    case QEvent::MouseMove: {
        if (!m_blnMoving)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const double position = splitterTwips() + Twips::fromPixelsX(int(mouse->position().x()));
        const double right = Twips::fromPixelsX(width()) - kDragMargin;
        const double barLeft = position < kDragMargin ? kDragMargin : position > right ? right : position;
        picSplitter->move(Twips::toPixelsX(barLeft), picSplitter->y());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_blnMoving)
            return false;
        LayoutMainWindow(float(Twips::fromPixelsX(picSplitter->x())));
        picSplitter->hide();
        m_blnMoving = false;
        return true;
    default:
        return false;
    }
}

void frmMain::mnuViewToolbar_Click()
{
    tbToolBar->setVisible(mnuViewToolbar->isChecked());
    LayoutMainWindow(float(splitterTwips()));
}

void frmMain::mnuViewStatusBar_Click()
{
    sbStatusBar->setVisible(mnuViewStatusBar->isChecked());
    LayoutMainWindow(float(splitterTwips()));
}

void frmMain::mnuHideSection_Click()
{
    // The check mark mirrors the tree; the layout sets it again.
    LayoutMainWindow(cmdHideTreeShowsHidden() ? -1.0f : 0.0f);
}

void frmMain::cmdHideTree_Click()
{
    mnuHideSection_Click();
}

void frmMain::mnuViewRefresh_Click()
{
    if (!dgView->isHidden() && isViewBound())
        RefreshDetailView(QString());
    else
        MessageService::beep();
}
