#pragma once
// Where the date dialogs open: a position in twips, or -1 for centred on the screen.

class QWidget;

namespace DialogPlacement {
void moveTo(QWidget *dialog, int p_nXPos, int p_nYPos);
}
