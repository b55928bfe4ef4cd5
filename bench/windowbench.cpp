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
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kScreenRows = 50;

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
    const bool headerTwice = bench.wanted("grid_header_click_twice");
    const bool sortFirstScreen = bench.wanted("grid_sort_first_screen");
    if (!headerTwice && !sortFirstScreen)
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
        if (sortFirstScreen) {
            // A sort on a column without an index: the window from the click on the header of
            // "Contanti" until the first screen of the new order is painted, ascending then
            // descending, against raw SQLite's first screen of the same two orders.
            const int cash = model->columnOfField(QStringLiteral("Contanti"));
            double longestMs = 0;
            QElapsedTimer blocked;
            const auto click = [&] {
                blocked.start();
                clickHeader(grid, cash);
                showScreen(grid);
                longestMs = std::max(longestMs, double(blocked.nsecsElapsed()) / 1e6);
            };
            bench.measure("grid_sort_first_screen", bench.payments, [&] {
                click();
                click();
            }, [&] {
                bench.raw.firstPaymentScreen(QStringLiteral("t0.Contanti"), kScreenRows);
                bench.raw.firstPaymentScreen(QStringLiteral("t0.Contanti DESC"), kScreenRows);
            });
            std::printf("grid_sort_first_screen payments=%lld window_blocked_max_ms=%.1f\n",
                        static_cast<long long>(bench.payments), longestMs);
            std::fflush(stdout);
            // Back to the order the next benchmark starts from.
            form.m_objCurDS->SetSort(QStringLiteral("Data"));
            showScreen(grid);
        }
        if (headerTwice) {
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
    }
    modGlobal::g_objDataContext.reset();
    modGlobal::g_objDatabase.reset();
}
