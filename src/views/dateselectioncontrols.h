#pragma once
// The controls of a window that show the date selection of its view: the date button, its menu and
// the menu's items.

class CurrentView;
class QAction;
class QMenu;
class QPushButton;

struct DateSelectionControls {
    QPushButton *button;
    QMenu *menu;
    QAction *all, *day, *month, *period;
    QAction *previous, *next, *today;
};

// Shows the view's selection: the check mark of its kind, the captions of the button (over the
// date field named by the button's "tag") and of the menu, and the steps it offers.
void ShowDateSelection(const CurrentView &view, const DateSelectionControls &controls);
