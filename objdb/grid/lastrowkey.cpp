#include "objdb/grid/lastrowkey.h"

#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QKeyEvent>
#include <QTableView>

namespace objdb {

LastRowKey::LastRowKey(QTableView *grid) : QObject(grid)
{
    grid->installEventFilter(this);
}

void LastRowKey::install(QTableView *grid)
{
    if (!grid->findChild<LastRowKey *>(QString(), Qt::FindDirectChildrenOnly))
        new LastRowKey(grid);
}

bool LastRowKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_End && key->modifiers().testFlag(Qt::ControlModifier))
            if (GridModel *model = ViewUtility::modelOf(static_cast<QTableView *>(watched)); model && model->canFetchMore({}))
                model->fetchMore({}); // every row counted; the view then handles the key over them
    }
    return QObject::eventFilter(watched, event);
}

} // namespace objdb
