#pragma once

#include <QString>
// The making of the main window's parts: its controls, status bar and timers; its toolbar; its menu
// bar and pop-up menus. Each fills the window's members of the same names, as their objectName.

class frmMain;

struct MainWindowControls {
    static void create(frmMain &form);
};

struct MainWindowToolbar {
    static void create(frmMain &form);
    // What the button of the key does: most buttons run a menu command, some pop up their menu.
    static void runButton(frmMain &form, const QString &key);
    // Triggers the numbered item of the search menu; false when there is no such item.
    static bool triggerSearchItem(frmMain &form, int index);
};

struct MainWindowMenus {
    static void create(frmMain &form);

private:
    static void createDataMenus(frmMain &form);
    static void createToolMenus(frmMain &form);
};
