#include "windowbench.h"

#include "gridbench.h"
#include "rawquery.h"
#include "timing.h"

#include "app/frmMain.h"
#include "app/startup.h"
#include "services/modGlobal.h"
#include "views/currentview.h"
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

// As showScreen, once the rows read apart are in: the screen the user waits for.
void showAnswer(QTableView *grid)
{
    QCoreApplication::processEvents();
    if (objdb::GridModel *model = objdb::ViewUtility::modelOf(grid))
        waitUntilAnswered(*model);
    grid->viewport()->repaint();
}

} // namespace

void runWindowBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database)
{
    const bool headerTwice = bench.wanted("grid_header_click_twice");
    const bool sortFirstScreen = bench.wanted("grid_sort_first_screen");
    if (!headerTwice && !sortFirstScreen)
        return;
    modGlobal::AppSession().database = database;
    modGlobal::AppSession().dataContext = bench.context;
    {
        frmMain form;
        form.view().setDateSelection(DateSelection::All);
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
            // descending, against raw SQLite's first screen of the same two orders. The ordered key
            // list then comes from a thread of its own (the current row is put back once it is in);
            // the wait for it is not part of the click, but it is measured too. A first screen read
            // on a thread of its own is painted when it arrives: the click holds the window only
            // until then (window_blocked_max_ms).
            const int cash = model->columnOfField(QStringLiteral("Contanti"));
            double longestMs = 0;
            QList<double> keysMs;
            const auto click = [&] {
                QElapsedTimer blocked;
                blocked.start();
                clickHeader(grid, cash);
                showScreen(grid);
                longestMs = std::max(longestMs, double(blocked.nsecsElapsed()) / 1e6);
                objdb::GridModel *sorted = objdb::ViewUtility::modelOf(grid);
                while (sorted->rowCount() == 0 && sorted->busy() && blocked.elapsed() < 60'000)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
                grid->viewport()->repaint();
                const double ms = double(blocked.nsecsElapsed()) / 1e6;
                // The kept current row is beyond the first screen: its row is set once the keys are in.
                while (!sorted->allRowsKnown() && blocked.elapsed() < 60'000) {
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
                    sorted = objdb::ViewUtility::modelOf(grid);
                }
                keysMs.append(double(blocked.nsecsElapsed()) / 1e6);
                return ms;
            };
            const auto raw = [&] {
                bench.raw.firstPaymentScreen(QStringLiteral("t0.Contanti"), kScreenRows);
                bench.raw.firstPaymentScreen(QStringLiteral("t0.Contanti DESC"), kScreenRows);
            };
            click();
            click();
            raw();
            QList<double> oursMs, rawMs;
            for (int i = 0, runs = bench.runs; i < runs; ++i) {
                oursMs.append(click() + click());
                rawMs.append(elapsedMs(raw));
            }
            const double oursMedian = median(oursMs), rawMedian = median(rawMs);
            std::printf("grid_sort_first_screen payments=%lld cobrelle_ms=%.3f raw_ms=%.3f ratio=%.2f\n",
                        static_cast<long long>(bench.payments), oursMedian, rawMedian, oursMedian / rawMedian);
            std::printf("grid_sort_first_screen payments=%lld window_blocked_max_ms=%.1f keys_in_median_ms=%.1f current_row=%d\n",
                        static_cast<long long>(bench.payments), longestMs, median(keysMs),
                        grid->currentIndex().isValid() ? grid->currentIndex().row() : -1);
            std::fflush(stdout);
            // Back to the order the next benchmark starts from.
            form.view().m_objCurDS->SetSort(QStringLiteral("Data"));
            showScreen(grid);
        }
        if (headerTwice) {
            bench.measure("grid_header_click_twice", bench.payments, [&] {
                clickHeader(grid, column);
                showAnswer(grid);
                clickHeader(grid, column);
                showAnswer(grid);
            }, [&] {
                bench.raw.paymentKeys(QStringLiteral("t0.Data DESC"));
                bench.raw.paymentKeys(QStringLiteral("t0.Data"));
            });
            // Every run clicked twice: the view is back in ascending date order, and nothing is selected.
            if (form.view().m_objCurDS->Sort() != QLatin1String("Data") || grid->selectionModel()->hasSelection())
                qWarning("grid_header_click_twice: the view ended sorted by \"%s\"%s", qPrintable(form.view().m_objCurDS->Sort()),
                         grid->selectionModel()->hasSelection() ? " with a selection" : "");
        }
    }
    modGlobal::AppSession().dataContext.reset();
    modGlobal::AppSession().database.reset();
}
