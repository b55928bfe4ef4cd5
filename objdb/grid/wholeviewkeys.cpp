#include "objdb/grid/wholeviewkeys.h"

#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTableView>

namespace objdb {

WholeViewKeys::WholeViewKeys(QTableView *grid) : QObject(grid), m_grid(grid)
{
    grid->installEventFilter(this);
    // The corner button selects all; it is the grid's own button child.
    for (auto *button : grid->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        button->installEventFilter(this);
}

void WholeViewKeys::install(QTableView *grid)
{
    if (!grid->findChild<WholeViewKeys *>(QString(), Qt::FindDirectChildrenOnly))
        new WholeViewKeys(grid);
}

void WholeViewKeys::countAllRows() const
{
    if (GridModel *model = ViewUtility::modelOf(m_grid); model && model->canFetchMore({}))
        model->fetchMore({}); // every row counted; the view then handles the key over them
}

bool WholeViewKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_End && key->modifiers().testFlag(Qt::ControlModifier))
            || key->matches(QKeySequence::SelectAll))
            countAllRows();
    } else if (watched != m_grid && event->type() == QEvent::MouseButtonPress) {
        countAllRows();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace objdb
