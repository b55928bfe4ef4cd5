#include "grid/sortorder.h"

#include "services/errorreport.h"

#include "objdb/datasource.h"

void SetSortOrder(const QString &order, objdb::DataSource &ds)
{
    // The data source keeps its previous order when the new one is refused.
    RunReportingFailures([&] {
        QString expression = order;
        if (!order.contains(QLatin1Char(' ')) && !order.contains(QLatin1Char(','))) {
            const QString current = ds.Sort();
            if (!order.isEmpty() && current.contains(order))
                expression = order + (current.contains(QLatin1String("DESC")) ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
        }
        ds.SetSort(expression);
    });
}
