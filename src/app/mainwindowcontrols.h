#pragma once
// The making of the main window's parts: its controls, status bar and timers; its toolbar; its menu
// bar and pop-up menus. Each fills the window's members of the same names, as their objectName.

class frmMain;

struct MainWindowControls {
    static void create(frmMain &form);
};

struct MainWindowToolbar {
    static void create(frmMain &form);
};

struct MainWindowMenus {
    static void create(frmMain &form);

private:
    static void createDataMenus(frmMain &form);
    static void createToolMenus(frmMain &form);
};
