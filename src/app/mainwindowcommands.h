#pragma once
// The main window's commands connected to its handlers: menu items, buttons, toolbar, tree and
// grid events.

class frmMain;

struct MainWindowCommands {
    static void connect(frmMain &form);

private:
    static void connectMenuItems(frmMain &form);
    static void connectToolbar(frmMain &form);
    static void connectGrid(frmMain &form);
    static void connectTree(frmMain &form);
    static void connectDateSelection(frmMain &form);
    static void connectAssociatedData(frmMain &form);
};
