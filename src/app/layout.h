#pragma once
// Placement of the main window's panes, in twips.

namespace Layout {
// Designed measures of the main window's controls.
constexpr double kTreeLeft = 60;
constexpr double kSplitterWidth = 90;
constexpr double kTitlesHeight = 300;
constexpr double kHideTreeButtonWidth = 300;
constexpr double kDateButtonWidth = 2400;
constexpr double kGridSettingButtonSize = 240;
constexpr double kTotalsHeight = 300; // the totals band under a dated view's grid

// Room the section overview page needs right of the splitter (its gap, one column of buttons and a
// margin) and below the title bar (heading and one row of buttons).
constexpr double kSectionPageMinWidth = 400 + 3600 + 400;
constexpr double kSectionPageMinHeight = 150 + 330 + 150 + 660 + 150;
// Around a section page's heading: the page's left gap and the heading's right margin.
constexpr double kSectionHeadingMargins = 400 + 800;

constexpr double kMinWindowWidth = 3000;
constexpr double kTreeHideLimit = 500;   // a request at or below this hides the tree
constexpr double kMinTreePosition = 1500; // requests between the two limits are widened to this
constexpr double kGridMinWidth = 1000;    // room kept right of the splitter
constexpr double kDragMargin = 500;       // the dragged bar stays this far from both edges
} // namespace Layout

class frmMain;

// Places tree, splitter, grid and title bar of the main window for the requested splitter position:
// 0 hides the tree, -1 restores the position remembered when it was hidden.
void LayoutMainWindow(frmMain &form, float p_sngX);
