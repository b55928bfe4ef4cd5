#include "grid/recordcommands.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QItemSelectionModel>
#include <QApplication>
#include <QLocale>
#include <QScopeGuard>
#include <QTableView>

QVariantList NewRecordPresets(const objdb::DataSource &source, const QString &operatorName)
{
    if (source.TableName() == QLatin1String("Pagamenti"))
        return {QStringLiteral("Operatore"), operatorName};
    return {};
}

bool ColumnChosen(const QTableView &grid)
{
    const QItemSelectionModel *selection = grid.selectionModel();
    return selection && selection->model()->rowCount() > 1 && !selection->selectedColumns().isEmpty();
}

void AddRecord(const std::shared_ptr<objdb::DataSource> &source, QTableView &grid, objdb::GridSetting *setting,
               const QVariantList &presets, QWidget *owner)
{
    RunReportingFailures([&] {
        const QVariant oid = objdb::ViewUtility::Binding(source).EditNewRow(presets, owner);
        if (oid.isNull())
            return;
        source->Requery(true);
        objdb::ViewUtility::Binding(source).ApplyGridSetting(&grid, setting);
        if (auto *model = objdb::ViewUtility::modelOf(&grid)) {
            const int row = model->rowOfBookmark(oid.toLongLong());
            if (row >= 0)
                grid.setCurrentIndex(model->index(row, 0));
        }
    });
}

void EditRecord(const std::shared_ptr<objdb::DataSource> &source, qint64 bookmark, QWidget *owner)
{
    RunReportingFailures([&] {
        if (!source->FindOID(bookmark)) {
            MessageService::beep();
            return;
        }
        const QVariant saved = objdb::ViewUtility::Binding(source).EditCurrentRow({}, QString(), true, owner);
        if (!saved.isNull())
            source->Requery(true);
    });
}

void DeleteChosenRows(objdb::DataSource &source, QTableView &grid, qint64 bookmark, QWidget *owner)
{
    RunReportingFailures([&] {
        QList<qint64> rows = objdb::ViewUtility::selectedBookmarks(&grid);
        if (rows.isEmpty()) {
            if (ColumnChosen(grid)) {
                MessageService::beep();
                return;
            }
            rows = {bookmark};
        }
        QString question = QStringLiteral("Confermi l'eliminazione dei dati selezionati ?");
        if (rows.size() > 1)
            question += QStringLiteral("\nRighe da eliminare: ")
                + QLocale(QLocale::Italian, QLocale::Italy).toString(rows.size());
        if (!MessageService::askYesNo(question, MessageService::Icon::Question, MessageService::Answer::No, QString(),
                                      owner))
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The pointer comes back however the deletion ends.
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        source.FindOID(bookmark);
        source.DeleteRows(rows);
    });
}
