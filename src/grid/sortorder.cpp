#include "grid/sortorder.h"

#include "objdb/datasource.h"

void SetSortOrder(const QString &order, objdb::DataSource &ds)
{
    try {
        QString expression = order;
        if (!order.contains(QLatin1Char(' ')) && !order.contains(QLatin1Char(','))) {
            const QString current = ds.Sort();
            if (!order.isEmpty() && current.contains(order))
                expression = order + (current.contains(QLatin1String("DESC")) ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
        }
        ds.SetSort(expression);
    } catch (const std::exception &) {
        // The previous order stays in force.
    }
}
