#pragma once
// The keys that act on a whole bound grid: Ctrl+End goes to the view's true last row, and select-all
// (Ctrl+A or the corner button) chooses every row of the view. The grid model counts only its first
// page until the user scrolls on, so the view alone would stop at the end of that page.

#include <QObject>

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
    // Counts every row of the view before the grid acts on the key.
    void countAllRows() const;

    QTableView *m_grid;
};

} // namespace objdb
