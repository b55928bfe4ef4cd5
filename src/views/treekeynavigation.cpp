#include "views/treekeynavigation.h"

#include <QEvent>
#include <QTimer>
#include <QTreeWidget>

namespace {

class TreeKeyNavigation : public QObject {
public:
    TreeKeyNavigation(QTreeWidget *tree, std::function<void()> open)
        : QObject(tree), m_tree(tree), m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QTreeWidgetItem *before = m_tree->currentItem();
            QTimer::singleShot(0, this, [this, before] {
                if (m_tree->currentItem() != before)
                    m_open();
            });
        }
        return false;
    }

private:
    QTreeWidget *m_tree;
    std::function<void()> m_open;
};

} // namespace

void OpenSectionsOnKeyboardMoves(QTreeWidget *tree, std::function<void()> open)
{
    tree->installEventFilter(new TreeKeyNavigation(tree, std::move(open)));
}
