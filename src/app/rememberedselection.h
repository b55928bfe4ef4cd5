#pragma once
// The place the operator left the main window: section, date mode and date, restored at the next start.

class frmMain;

struct RememberedSelection {
    // The date mode and date, at load; the section is kept for the first tree of the run.
    static void restore(frmMain &form);
    // The section kept at load selected in the tree just built, once.
    static void selectSection(frmMain &form);
    // All three stored, at unload.
    static void store(const frmMain &form);
};
