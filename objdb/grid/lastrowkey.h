#pragma once
// Ctrl+End on a bound grid goes to the view's true last row. The grid model counts only its first page
// until the user scrolls on, so the view alone would stop at the end of that page.

#include <QObject>

class QTableView;

namespace objdb {

class LastRowKey : public QObject {
    Q_OBJECT

public:
    // Installs the filter on the grid once, however often the grid is bound.
    static void install(QTableView *grid);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit LastRowKey(QTableView *grid);
};

} // namespace objdb
