#pragma once
// The main window's icon in the notification area: made on first use, with mnuPopUp as its menu;
// a click on it brings the hidden or minimised window back.

class clsOSTNA;
class frmMain;

struct MainWindowTray {
    static clsOSTNA &icon(frmMain &form);
    // Whether the close box may hide the window: only an icon shown in a notification area can
    // bring it back.
    static bool canHide(const frmMain &form);
};
