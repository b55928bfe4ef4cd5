#include "objdb/grid/wholeviewkeys.h"

#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPointer>
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

bool WholeViewKeys::countAllRows(std::function<void()> again)
{
    GridModel *model = ViewUtility::modelOf(m_grid);
    if (!model || !model->canFetchMore({}))
        return false;
    const std::shared_ptr<DataSource> ds = model->dataSource();
    if (!ds->keysLoading() && (!ds->readsApart() || !ds->LoadKeysInBackground())) {
        model->fetchMore({}); // every row counted; the view then handles the key over them
        return false;
    }
    const QPointer<QTableView> view(m_grid);
    const QPointer<GridModel> bound(model);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(ds.get(), &DataSource::OnKeysLoaded, model, [=] {
        QObject::disconnect(*connection);
        if (!view || !bound || ViewUtility::modelOf(view) != bound)
            return;
        bound->loadAllRows();
        again();
    });
    return true;
}

bool WholeViewKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_End && key->modifiers().testFlag(Qt::ControlModifier))
            || key->matches(QKeySequence::SelectAll)) {
            const QPointer<QTableView> grid(m_grid);
            // The key goes to the grid again once every row is counted.
            return countAllRows([grid, code = key->key(), modifiers = key->modifiers(), text = key->text()] {
                QKeyEvent again(QEvent::KeyPress, code, modifiers, text);
                if (grid)
                    QCoreApplication::sendEvent(grid, &again);
            });
        }
    } else if (watched != m_grid && event->type() == QEvent::MouseButtonPress) {
        const QPointer<QTableView> grid(m_grid);
        return countAllRows([grid] {
            if (grid)
                grid->selectAll();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace objdb
