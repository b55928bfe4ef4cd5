#pragma once
// Moving through the section tree with the keyboard opens the section reached, as a click does.

#include <functional>

class QTreeWidget;

// After a key press that changed the tree's current item, open runs on the next turn of the event
// loop. Lasts as long as the tree.
void OpenSectionsOnKeyboardMoves(QTreeWidget *tree, std::function<void()> open);
