#include "windowbench.h"

#include "gridbench.h"
#include "rawquery.h"

#include "app/frmMain.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>
#include <QTreeWidget>

namespace {

// Shows the section with the given key, as a click on its node does.
bool openSection(frmMain &form, const QString &key)
{
    for (int i = 1; QTreeWidgetItem *node = form.nodeByIndex(i); ++i) {
        if (node->data(0, Qt::UserRole).toString() == key) {
            form.findChild<QTreeWidget *>(QStringLiteral("tvTreeView"))->setCurrentItem(node);
            form.RefreshDetailView();
            return true;
        }
    }
    return false;
}

// A left click in the middle of a column's header, through the header's own mouse handling.
void clickHeader(QTableView *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    const QPoint global = header->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &release);
}

// Lets the window finish what the click started and paints the grid's screen.
void showScreen(QTableView *grid)
{
    QCoreApplication::processEvents();
    grid->viewport()->repaint();
}

} // namespace

void runWindowBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database)
{
    if (!bench.wanted("grid_header_click_twice"))
        return;
    modGlobal::g_objDatabase = database;
    modGlobal::g_objDataContext = bench.context;
    modGlobal::UseDateSelection = false;
    modGlobal::UseMonthSelection = false;
    {
        frmMain form;
        form.resize(1000, 700);
        form.show();
        form.SetTreeViewNodes();
        QTableView *grid = form.findChild<QTableView *>(QStringLiteral("dgView"));
        if (!openSection(form, QStringLiteral("Pagamenti")) || !objdb::ViewUtility::modelOf(grid)) {
            qWarning("grid_header_click_twice: the payments view did not open");
            return;
        }
        objdb::GridModel *model = objdb::ViewUtility::modelOf(grid);
        const int column = model->columnOfField(QStringLiteral("Data"));
        // The user has a cell of the first row current, as after a click in the grid.
        grid->setCurrentIndex(model->index(0, column));
        showScreen(grid);
        bench.measure("grid_header_click_twice", bench.payments, [&] {
            clickHeader(grid, column);
            showScreen(grid);
            clickHeader(grid, column);
            showScreen(grid);
        }, [&] {
            bench.raw.paymentKeys(QStringLiteral("t0.Data DESC"));
            bench.raw.paymentKeys(QStringLiteral("t0.Data"));
        });
        // Every run clicked twice: the view is back in ascending date order, and nothing is selected.
        if (form.m_objCurDS->Sort() != QLatin1String("Data") || grid->selectionModel()->hasSelection())
            qWarning("grid_header_click_twice: the view ended sorted by \"%s\"%s", qPrintable(form.m_objCurDS->Sort()),
                     grid->selectionModel()->hasSelection() ? " with a selection" : "");
    }
    modGlobal::g_objDataContext.reset();
    modGlobal::g_objDatabase.reset();
}
