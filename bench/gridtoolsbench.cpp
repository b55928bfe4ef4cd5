#include "gridtoolsbench.h"

#include "gridbench.h"
#include "rawquery.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"
#include "objdb/grid/gridmodel.h"

#include <cstdio>

namespace {

constexpr int kScreenRows = 50;

// What a grid paints of its first screen: the display text of every cell.
void paintFirstScreen(objdb::GridModel &model)
{
    const int last = std::min(model.rowCount(), kScreenRows);
    for (int row = 0; row < last; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            model.data(model.index(row, column), Qt::DisplayRole);
}

// The column filter the grid applies for "Polizza 12" typed on the description column: values
// beginning with the text, case and accents ignored. About one payment in 900 matches.
const QString kFilterCriterion = QStringLiteral("DescrizionePagamento Like 'polizza 12*'");
const QByteArray kRawFilter = "p.Descrizione LIKE 'polizza 12%'";
// The search of "Cerca in" for text inside the description, as frmSearchText's "internal" search.
const QString kSearchCriterion = QStringLiteral("DescrizionePagamento Like '*za 77*'");
const QByteArray kRawSearch = "p.Descrizione LIKE '%za 77%'";
// The three conditions of the saved complex filter and the raw WHERE of the same rows.
const QList<objdb::FilterCondition> kComplexConditions = {
    {objdb::FilterCondition::Join::And, QStringLiteral("Descrizione"), QStringLiteral("Like"), QStringLiteral("polizza 3*")},
    {objdb::FilterCondition::Join::And, QStringLiteral("Contanti"), QStringLiteral(">"), QStringLiteral("100")},
    {objdb::FilterCondition::Join::And, QStringLiteral("Operatore"), QStringLiteral("="), QStringLiteral("Amministratore")},
};
const QByteArray kRawComplex = "p.Descrizione LIKE 'polizza 3%' AND t0.Contanti > 1000000 AND t0.Operatore = 'Amministratore'";

} // namespace

void runGridToolsBenchmarks(const GridBench &bench)
{
    auto &table = bench.context->Tables().Item(QStringLiteral("Pagamenti"));
    objdb::OpenOptions options;
    options.fieldList = bench.fieldList;
    const auto openView = [&](const QString &condition) { return table.OpenDataSource(condition, QString(), options); };

    if (bench.wanted("filter_first_screen")) {
        // The filter set on the view and its first screen shown by a grid.
        bench.measure("filter_first_screen", bench.payments, [&] {
            const auto view = openView(QString());
            view->SetFilter(kFilterCriterion);
            objdb::GridModel model(view);
            paintFirstScreen(model);
        }, [&] { bench.raw.firstPaymentScreenWhere(kRawFilter, kScreenRows); });
    }

    if (bench.wanted("search_next")) {
        // From a row to the next match in the view's order (Data, OID): the current row's values of the
        // order read, the first later match asked of the archive by keyset, the row found read.
        const auto view = openView(QString());
        const QList<qint64> keys = view->keys();
        const qint64 top = keys.value(10), middle = keys.value(keys.size() / 2);
        const auto search = [&](const char *operation, qint64 from) {
            if (!bench.wanted(operation))
                return;
            bench.measure(operation, bench.payments, [&] {
                view->FindOID(from);
                view->Find(kSearchCriterion, true);
            }, [&] { bench.raw.nextPaymentAfter(from, kRawSearch); });
        };
        search("search_next_top", top);
        search("search_next_mid", middle);
    }

    const auto summary = [&](const char *operation, const QString &condition, const QByteArray &rawCondition,
                             const QList<QByteArray> &rawBinds, bool average) {
        if (!bench.wanted(operation))
            return;
        const auto view = openView(condition);
        bench.measure(operation, bench.payments, [&] {
            const objdb::ColumnSummary column = view->SummarizeColumn(QStringLiteral("Contanti"));
            if (average)
                column.mean(2);
        }, [&] { bench.raw.sumOfPayments("t0.Contanti", rawCondition, rawBinds, average); });
    };
    const QString month = QStringLiteral("Month(Data) = 6 AND Year(Data) = 2024");
    const QByteArray rawMonth = "t0.Data >= ? AND t0.Data < ?";
    const QList<QByteArray> monthBinds = {"2024-06-01", "2024-07-01"};
    summary("total_column", QString(), QByteArray(), {}, false);
    summary("total_column_month", month, rawMonth, monthBinds, false);
    summary("average_column", QString(), QByteArray(), {}, true);
    summary("average_column_month", month, rawMonth, monthBinds, true);

    if (bench.wanted("complex_filter_first_screen")) {
        // Saved once under a name; each run loads it by name, applies it and shows the first screen.
        const QString name = QStringLiteral("Banco di prova");
        auto saved = table.NewFilter();
        saved->setConditions(kComplexConditions);
        saved->Save(name, false, true);
        bench.measure("complex_filter_first_screen", bench.payments, [&] {
            auto filter = table.NewFilter();
            filter->Load(name, false);
            const auto view = openView(QString());
            view->SetFilter(filter->Criterion());
            objdb::GridModel model(view);
            paintFirstScreen(model);
        }, [&] { bench.raw.firstPaymentScreenWhere(kRawComplex, kScreenRows); });
        saved->Delete(name, false);
    }
}
