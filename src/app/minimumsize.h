#pragma once
// The smallest size of the main window at which no label of the tree, the title bar or the section
// page is cut, with the splitter at splitTwips (the tree keeps that width, or more when a label
// needs it).

class frmMain;

void UpdateMainWindowMinimumSize(frmMain &form, double splitTwips);
