#include "objdb/grid/viewutility.h"

#include "objdb/grid/gridmodel.h"

#include <QTableView>

namespace objdb::ViewUtility {

std::shared_ptr<GridSetting> NewGridSetting(const QString &tableName, const QString &iniPath)
{
    return std::make_shared<GridSetting>(tableName, iniPath);
}

GridModel *modelOf(QTableView *grid)
{
    return grid ? qobject_cast<GridModel *>(grid->model()) : nullptr;
}

QList<qint64> selectedBookmarks(QTableView *grid)
{
    GridModel *model = modelOf(grid);
    return model ? model->selectedBookmarks(grid->selectionModel()) : QList<qint64>();
}

int twipsToPixels(int twips, int dpi)
{
    return int((qint64(twips) * dpi + 720) / 1440);
}

int pixelsToTwips(int pixels, int dpi)
{
    return dpi > 0 ? int((qint64(pixels) * 1440 + dpi / 2) / dpi) : 0;
}

} // namespace objdb::ViewUtility
