#pragma once
// The main window's placement kept in the settings: position, size, state and splitter.

class frmMain;

struct MainWindowPlacement {
    // The stored placement, never below what the window's content needs; a window with none stored
    // takes about three quarters of the screen, centred, wide enough for every menu.
    static void restore(frmMain &form);
    // Stores the placement a maximised or minimised window returns to, its state and the splitter.
    static void store(const frmMain &form);
};
