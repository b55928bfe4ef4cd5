#pragma once
// Moving the current item of an ordered list up or down, as the sequence and sort editors do.

class QListWidget;

namespace objdb {

// Moves the current item by step places (-1 up, +1 down) and keeps it current; nothing at an end.
void shiftCurrentItem(QListWidget *list, int step);

} // namespace objdb
