#include "app/layout.h"

#include "app/frmMain.h"
#include "services/twips.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// Kept for the whole process: where the tree was when it was hidden, and the hide button's
// colour before it turned yellow.
double g_sngRememberedSplit = 0;
bool g_blnColourRemembered = false;
QPalette g_rememberedButtonPalette;

const QColor kHiddenTreeColour(255, 255, 192);

void placeTwips(QWidget *widget, double left, double top, double width, double height, double topOffset)
{
    const int x = Twips::toPixelsX(left);
    const int y = Twips::toPixelsY(top - topOffset);
    widget->setGeometry(x, y, std::max(0, Twips::toPixelsX(left + width) - x),
                        std::max(0, Twips::toPixelsY(top - topOffset + height) - y));
}

} // namespace

void LayoutMainWindow(frmMain &window, float p_sngX)
{
    frmMain *form = &window;
    if (!form->isVisible() || form->isMinimized())
        return;
    using namespace Layout;

    // Showing the tree forgets the remembered position, whichever way the tree came back.
    const auto showTree = [form] {
        g_sngRememberedSplit = 0;
        form->setCmdHideTreeShowsHidden(false);
        form->mnuHideSection->setChecked(true);
        if (g_blnColourRemembered)
            form->cmdHideTree->setPalette(g_rememberedButtonPalette);
    };
    const auto hideTree = [form] {
        if (g_sngRememberedSplit == 0)
            g_sngRememberedSplit = form->splitterTwips();
        form->setCmdHideTreeShowsHidden(true);
        form->mnuHideSection->setChecked(false);
        if (!g_blnColourRemembered) {
            g_rememberedButtonPalette = form->cmdHideTree->palette();
            g_blnColourRemembered = true;
        }
        QPalette yellow = form->cmdHideTree->palette();
        yellow.setColor(QPalette::Button, kHiddenTreeColour);
        form->cmdHideTree->setPalette(yellow);
    };

    if (Twips::fromPixelsX(form->width()) < kMinWindowWidth)
        form->resize(Twips::toPixelsX(kMinWindowWidth), form->height());

    double x = p_sngX;
    if (x != 0 && x != -1) {
        if (x <= kTreeHideLimit) {
            if (!form->cmdHideTreeShowsHidden()) {
                LayoutMainWindow(window, 0);
                return;
            }
            x = g_sngRememberedSplit;
        } else if (x < kMinTreePosition) {
            x = kMinTreePosition;
        }
        showTree();
    } else if (x == -1) {
        x = g_sngRememberedSplit;
        showTree();
    } else {
        hideTree();
    }
    // Showing the tree with nothing remembered (it was hidden at position 0) gives it the
    // narrowest usable width rather than a tree of no width marked as shown.
    if (x != 0 && x <= kTreeHideLimit)
        x = kMinTreePosition;

    const double windowWidth = Twips::fromPixelsX(form->width());
    const double innerWidth = windowWidth;
    // Client height as the toolbar and status bar share it, below the menu bar.
    const double innerHeight = Twips::fromPixelsY(form->height() - form->menuBar()->height());
    const bool toolbarShown = form->mnuViewToolbar->isChecked();
    const bool statusShown = form->mnuViewStatusBar->isChecked();
    const double toolbarHeight = toolbarShown ? Twips::fromPixelsY(form->tbToolBar->sizeHint().height()) : 0;
    const double statusHeight = statusShown ? Twips::fromPixelsY(form->sbStatusBar->sizeHint().height()) : 0;

    // A position past the grid's minimum room is pulled back, and the tree follows it so that
    // tree and grid never overlap.
    if (x > windowWidth - kGridMinWidth)
        x = windowWidth - kGridMinWidth;
    const double treeWidth = x == 0 ? 0 : std::max(0.0, x - kTreeLeft);

    const double gridLeft = x + kSplitterWidth;
    const double gridWidth = std::max(0.0, innerWidth - (treeWidth + 220));

    // Everything sits in the client area below the toolbar; measures are from the client's top.
    const double titlesTop = toolbarHeight;
    const double paneTop = toolbarHeight + kTitlesHeight + kSplitterWidth;
    const double paneHeight = std::max(0.0, innerHeight - statusHeight - (titlesTop + kTitlesHeight) - kSplitterWidth);
    const double offset = toolbarHeight;

    placeTwips(form->picTitles, 0, titlesTop, innerWidth, kTitlesHeight, offset);
    placeTwips(form->lblTitle[0], kTreeLeft, 0, treeWidth, kTitlesHeight, 0);
    const double hideLeft = gridLeft + 20;
    placeTwips(form->cmdHideTree, hideLeft, 0, kHideTreeButtonWidth, kTitlesHeight, 0);
    const double titleLeft = hideLeft + kHideTreeButtonWidth + 10;
    // The date button grows with a caption longer than its designed width.
    const double dateButtonWidth = std::max(kDateButtonWidth, Twips::fromPixelsX(form->cmdDateSel->sizeHint().width()));
    const double dateWidth = form->cmdDateSel->isVisibleTo(form) ? dateButtonWidth : 0;
    const double titleWidth = std::max(0.0, gridWidth - 30 - kHideTreeButtonWidth - dateWidth);
    placeTwips(form->lblTitle[1], titleLeft, 0, titleWidth, kTitlesHeight, 0);
    placeTwips(form->cmdDateSel, titleLeft + titleWidth + 10, 0, dateButtonWidth, kTitlesHeight, 0);

    placeTwips(form->tvTreeView, kTreeLeft, paneTop, treeWidth, paneHeight, offset);
    form->tvTreeView->setVisible(treeWidth > 0);
    placeTwips(form->imgSplitter, x, paneTop, kSplitterWidth, paneHeight, offset);
    form->picSplitter->move(form->picSplitter->x(), Twips::toPixelsY(paneTop - offset));
    const double bandHeight = form->lblTotals->isVisibleTo(form) ? std::min(kTotalsHeight, paneHeight) : 0;
    placeTwips(form->dgView, gridLeft, paneTop, gridWidth, paneHeight - bandHeight, offset);
    placeTwips(form->lblTotals, gridLeft, paneTop + paneHeight - bandHeight, gridWidth, bandHeight, offset);
    placeTwips(form->cmdGridSetting, gridLeft, paneTop, kGridSettingButtonSize, kGridSettingButtonSize, offset);
    form->cmdGridSetting->raise();

    // The section overview page follows the splitter and the window's size.
    if (form->acmdSectionItem.size() > 1)
        form->BuildSectionPage();
}
