#pragma once
// The main window's commands connected to its handlers: menu items, buttons, toolbar, tree and
// grid events; the commands on the current view in viewcommands.cpp.

class frmMain;

struct MainWindowCommands {
    static void connect(frmMain &form);
    // The commands that act on a view, enabled while one is shown.
    static void enableDataCommands(frmMain &form, bool enabled);

private:
    static void connectMenuItems(frmMain &form);
    static void connectToolbar(frmMain &form);
    static void connectGrid(frmMain &form);
    static void connectTree(frmMain &form);
    static void connectDateSelection(frmMain &form);
    static void connectAssociatedData(frmMain &form);
    // viewcommands.cpp
    static void connectViewCommands(frmMain &form);
    static void connectFilterCommands(frmMain &form);
    static void connectViewSignals(frmMain &form);
};
