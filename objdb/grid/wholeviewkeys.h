#pragma once
// The keys that act on a whole bound grid: Ctrl+End goes to the view's true last row, and select-all
// (Ctrl+A or the corner button) chooses every row of the view. The grid model counts only its first
// page until the user scrolls on, so the view alone would stop at the end of that page. On a big
// archive the keys are read on a thread of their own: the key or click then acts once they are in.

#include <QObject>
#include <functional>

class QTableView;

namespace objdb {

class WholeViewKeys : public QObject {
    Q_OBJECT

public:
    // Installs the filter on the grid once, however often the grid is bound.
    static void install(QTableView *grid);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WholeViewKeys(QTableView *grid);
    // Counts every row of the view before the grid acts on the key: at once (false), or by reading
    // the keys apart (true), then running again once they are in.
    bool countAllRows(std::function<void()> again);

    QTableView *m_grid;
};

} // namespace objdb
