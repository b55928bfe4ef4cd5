#include "grid/columnfilters.h"

#include "objdb/query/criterion.h"

#include <QModelIndex>

namespace ColumnFilters {

namespace {
const QString kEquals = QStringLiteral(" = ");
const QString kAnd = QStringLiteral(" AND ");
} // namespace

QString filteredCaption(const QString &title, const QString &text, bool internal)
{
    const bool inside = internal && text.size() > 1;
    const QString pattern = (inside ? QStringLiteral("*") : QString()) + text + QLatin1Char('*');
    return title + kEquals + objdb::query::patternLiteral(pattern);
}

bool isFiltered(const Item &item)
{
    return item.caption != item.title;
}

Combined combine(const QList<Item> &items)
{
    Combined combined;
    for (const Item &item : items) {
        if (!isFiltered(item))
            continue;
        if (!combined.shown.isEmpty()) {
            combined.shown += kAnd;
            combined.applied += kAnd;
        }
        combined.shown += item.caption;
        // Only the operator after the field becomes Like: a " = " typed inside the value is data.
        combined.applied += item.tag + QStringLiteral(" Like ") + item.caption.mid(item.title.size() + kEquals.size());
    }
    return combined;
}

QString statusText(const Combined &combined)
{
    return combined.shown.isEmpty() ? QStringLiteral("Nessun filtro")
                                    : QStringLiteral("Attivato filtro (") + combined.shown + QLatin1Char(')');
}

QString cellValueText(const QModelIndex &cell)
{
    const QVariant check = cell.data(Qt::CheckStateRole);
    if (check.isValid())
        return check.toInt() == Qt::Checked ? QStringLiteral("Sì") : QStringLiteral("No");
    return cell.data().toString();
}

} // namespace ColumnFilters
