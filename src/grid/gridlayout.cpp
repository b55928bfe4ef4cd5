#include "grid/gridlayout.h"

#include "grid/sortorder.h"
#include "services/messageservice.h"
#include "objdb/grid/viewutility.h"

namespace {
// The columns may have moved: the header's sort mark follows the first sort field to its new place.
void bindGrid(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid, objdb::GridSetting &setting)
{
    objdb::ViewUtility::Binding(source).BindGrid(&grid, &setting);
    ShowSortMark(grid, *source);
}
}

void ShowAllFieldsOnce(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                       objdb::GridSetting &setting)
{
    const QString kept = setting.FieldSequence();
    setting.SetFieldSequence(QString());
    bindGrid(source, grid, setting);
    setting.SetFieldSequence(kept);
}

bool EditGridFieldSequence(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                           objdb::GridSetting &setting, QWidget *owner)
{
    QString sequence = setting.FieldSequence();
    if (!objdb::ViewUtility::Binding(source).EditFieldSequence(QStringLiteral("Sequenza di Visualizzazione Campi"),
                                                               sequence, owner))
        return false;
    setting.SetFieldSequence(sequence);
    bindGrid(source, grid, setting);
    return true;
}

bool ResetGridLayout(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                     objdb::GridSetting &setting, QWidget *owner)
{
    if (!MessageService::askYesNo(QStringLiteral("Vuoi ripristinare le impostazioni predefinite per la griglia corrente?"),
                                  MessageService::Icon::Question, MessageService::Answer::Yes, QString(), owner))
        return false;
    setting.Reset();
    bindGrid(source, grid, setting);
    return true;
}
