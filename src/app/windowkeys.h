#pragma once
// The main window's own keys, seen before its controls: the Euro conversion's combination, the
// date steps, the record commands and the type-ahead search.

#include <Qt>

class frmMain;

// True when the key is consumed.
bool MainWindowKeyDown(frmMain &form, int key, Qt::KeyboardModifiers modifiers);
