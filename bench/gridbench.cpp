#include "gridbench.h"

#include "rawquery.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

namespace {

constexpr int kScreenRows = 50;

// Reads what a grid paints: the display text of every cell of the rows.
int paintRows(objdb::GridModel &model, int first, int count)
{
    int cells = 0;
    const int last = std::min(model.rowCount(), first + count);
    for (int row = first; row < last; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            cells += model.data(model.index(row, column), Qt::DisplayRole).isValid() ? 1 : 0;
    return cells;
}

} // namespace

void runGridBenchmarks(const GridBench &bench)
{
    auto &table = bench.context->Tables().Item(QStringLiteral("Pagamenti"));
    objdb::OpenOptions options;
    options.fieldList = bench.fieldList;
    const auto openView = [&] { return table.OpenDataSource(QString(), QString(), options); };

    if (bench.wanted("grid_first_screen"))
        bench.measure("grid_first_screen", bench.payments, [&] {
            objdb::GridModel model(openView());
            paintRows(model, 0, kScreenRows);
        }, [&] { bench.raw.firstPaymentScreen(QStringLiteral("t0.Data"), kScreenRows); });
    if (bench.wanted("grid_scroll_to_last"))
        bench.measure("grid_scroll_to_last", bench.payments, [&] {
            objdb::GridModel model(openView());
            model.loadAllRows();
            paintRows(model, model.rowCount() - kScreenRows, kScreenRows);
        }, [&] { bench.raw.lastPaymentRowsByKey(QStringLiteral("t0.Data"), kScreenRows); });
    if (bench.wanted("grid_sort_unindexed")) {
        // The sort is changed on a bound view: the model resets and shows the first screen again.
        const auto sorted = openView();
        objdb::GridModel sortedModel(sorted);
        bench.measure("grid_sort_unindexed", bench.payments, [&] {
            sorted->SetSort(QStringLiteral("Contanti"));
            waitUntilAnswered(sortedModel);
            paintRows(sortedModel, 0, kScreenRows);
        }, [&] { bench.raw.paymentKeys(QStringLiteral("t0.Contanti")); });
    }
    if (bench.wanted("grid_restore_current")) {
        const auto kept = openView();
        objdb::GridModel keptModel(kept);
        keptModel.loadAllRows();
        const qint64 middle = keptModel.bookmarkAt(keptModel.rowCount() / 2);
        kept->FindOID(middle);
        int found = -1;
        bench.measure("grid_restore_current", bench.payments, [&] {
            kept->Requery(true);
            found = keptModel.rowOfBookmark(middle);
        }, [&] { bench.raw.rowOfPaymentKey(QStringLiteral("t0.Data"), middle); });
        if (found != keptModel.rowCount() / 2)
            qWarning("grid_restore_current: the kept row moved to %d", found);
    }
}

void waitUntilAnswered(objdb::GridModel &model)
{
    QElapsedTimer waited;
    waited.start();
    while (model.busy() && waited.elapsed() < 60'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}
