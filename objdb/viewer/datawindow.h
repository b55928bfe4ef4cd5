#pragma once
// The library's data window: any data source shown in a grid of its own, in a window apart from the
// caller's (not modal), with sorting by a header click, the grid's amount and date formats, a title
// naming the table and what the rows are, and a count of the rows. There is one window per process,
// made on first use and kept until the application goes; showing another data source replaces the
// one it showed.
//
//     objdb::ShowDataSource(ds, QStringLiteral("Pagamenti con stessi Movimenti"));
//
// The rows are read by pages like the main grids'; the table is never loaded whole.

#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QTableView;

namespace objdb {

class DataSource;

class DataWindow : public QWidget {
    Q_OBJECT

public:
    // The window of the process, made (hidden) on first use.
    static DataWindow &instance();

    // Shows the rows of ds and raises the window. title says what the rows are (e.g. the relation
    // they were reached by); the window's caption is the table's caption followed by it.
    void showDataSource(std::shared_ptr<DataSource> ds, const QString &title);
    // Read-only (the default): the rows are only looked at. Otherwise a double click opens the
    // editing panel on the row.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    const std::shared_ptr<DataSource> &dataSource() const { return m_ds; }
    // The text of the count under the grid: "3 record".
    QString countText() const;

private:
    DataWindow();
    void headerClicked(int column);
    void rowDoubleClicked(int row);
    void refreshed();

    std::shared_ptr<DataSource> m_ds;
    bool m_readOnly = true;
    QLabel *m_title = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_count = nullptr;
};

// The data window of the process with ds in it (see DataWindow::showDataSource).
void ShowDataSource(std::shared_ptr<DataSource> ds, const QString &title);

} // namespace objdb
