#include "grid/gridlayout.h"

#include "services/messageservice.h"
#include "objdb/grid/viewutility.h"

void ShowAllFieldsOnce(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                       objdb::GridSetting &setting)
{
    const QString kept = setting.FieldSequence();
    setting.SetFieldSequence(QString());
    objdb::ViewUtility::Binding(source).BindGrid(&grid, &setting);
    setting.SetFieldSequence(kept);
}

bool EditGridFieldSequence(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                           objdb::GridSetting &setting, QWidget *owner)
{
    auto binding = objdb::ViewUtility::Binding(source);
    QString sequence = setting.FieldSequence();
    if (!binding.EditFieldSequence(QStringLiteral("Sequenza di Visualizzazione Campi"), sequence, owner))
        return false;
    setting.SetFieldSequence(sequence);
    binding.BindGrid(&grid, &setting);
    return true;
}

bool ResetGridLayout(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid,
                     objdb::GridSetting &setting, QWidget *owner)
{
    if (!MessageService::askYesNo(QStringLiteral("Vuoi ripristinare le impostazioni predefinite per la griglia corrente?"),
                                  MessageService::Icon::Question, MessageService::Answer::Yes, QString(), owner))
        return false;
    setting.Reset();
    objdb::ViewUtility::Binding(source).BindGrid(&grid, &setting);
    return true;
}
