#include "objdb/grid/listmoves.h"

#include <QListWidget>

namespace objdb {

void shiftCurrentItem(QListWidget *list, int step)
{
    const int row = list->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= list->count())
        return;
    QListWidgetItem *item = list->takeItem(row);
    list->insertItem(target, item);
    list->setCurrentRow(target);
}

} // namespace objdb
