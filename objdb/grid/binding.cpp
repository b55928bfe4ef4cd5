#include "objdb/grid/viewutility.h"

#include "objdb/datasource.h"
#include "objdb/grid/fieldsequencedialog.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/wholeviewkeys.h"
#include "objdb/panel/editpanel.h"
#include "objdb/types.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>

namespace objdb {

namespace {

// Puts the view on the row of a bookmark (and its column when given) and selects the rows of the
// kept bookmarks, in one selection of ranges; rows no longer in the view are left out.
void restoreRows(QTableView *grid, GridModel *model, qint64 current, const QString &currentField,
                 const QList<qint64> &selected);

// Whether the rows of the bookmarks are known without the ordered key list.
bool rowsKnown(GridModel *model, qint64 current, const QList<qint64> &selected)
{
    if (current != 0 && !model->knownRowOf(current))
        return false;
    return std::all_of(selected.cbegin(), selected.cend(), [&](qint64 oid) { return model->knownRowOf(oid).has_value(); });
}

// As restoreRows; when the rows are beyond the first page and the keys are not in, the first screen
// stays shown and the rows are put back once the keys, read on a thread of their own, are in (a
// new order on a column without an index would otherwise hold the window for the whole sort).
void restoreRowsWhenKnown(QTableView *grid, GridModel *model, qint64 current, const QString &currentField,
                          const QList<qint64> &selected)
{
    const std::shared_ptr<DataSource> ds = model->dataSource();
    // A row the new rows leave out (a filter) is no reason to read their keys.
    if (current != 0 && !model->knownRowOf(current) && !ds->Contains(current))
        current = 0;
    if (rowsKnown(model, current, selected) || !ds->LoadKeysInBackground()) {
        restoreRows(grid, model, current, currentField, selected);
        return;
    }
    QPointer<QTableView> view(grid);
    QPointer<GridModel> bound(model);
    const QPersistentModelIndex before = grid->currentIndex();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(ds.get(), &DataSource::OnKeysLoaded, model, [=] {
        QObject::disconnect(*connection);
        if (!view || !bound || ViewUtility::modelOf(view) != bound)
            return;
        bound->loadAllRows();
        // A row the user went to meanwhile stays current.
        const bool moved = view->currentIndex() != QModelIndex(before);
        restoreRows(view, bound, moved ? 0 : current, currentField, selected);
    });
}

void restoreRows(QTableView *grid, GridModel *model, qint64 current, const QString &currentField,
                 const QList<qint64> &selected)
{
    QItemSelectionModel *selection = grid->selectionModel();
    if (!selected.isEmpty())
        selection->select(model->rowSelection(selected), QItemSelectionModel::Select);
    if (current == 0)
        return;
    const int row = model->rowOfBookmark(current);
    if (row < 0)
        return;
    const int column = std::max(0, model->columnOfField(currentField));
    selection->setCurrentIndex(model->index(row, column), QItemSelectionModel::NoUpdate);
    model->rememberCurrent(current, model->fieldAt(column));
    grid->scrollTo(model->index(row, column));
}

// A column without a kept width gets one that fits its field: its text length (within reason), a
// whole date or a large amount in the grid's font, and never less than its caption.
int defaultWidth(const QTableView *grid, const FieldDef *field)
{
    const QFontMetrics metrics = grid->fontMetrics();
    constexpr int kPadding = 12;
    int content = metrics.averageCharWidth() * 8;
    if (field) {
        switch (field->type) {
        case TypeText:
        case TypeLongText:
        case TypeReference: content = metrics.averageCharWidth() * std::clamp(field->size, 6, 30); break;
        case TypeAmount: content = metrics.horizontalAdvance(QStringLiteral("-0.000.000,00")); break;
        case TypeDate: content = metrics.horizontalAdvance(QStringLiteral("00/00/0000")); break;
        case TypeYesNo: content = metrics.averageCharWidth() * 4; break;
        default: break;
        }
    }
    const int caption = field ? metrics.horizontalAdvance(field->caption) + 20 : 0;
    return std::max(content + kPadding, caption);
}

void applyWidths(QTableView *grid, GridModel *model, const GridSetting &setting, const DataSource &ds)
{
    const int dpi = grid->logicalDpiX();
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString field = model->fieldAt(column);
        const int twips = setting.ColumnWidth(field);
        grid->setColumnWidth(column, twips > 0 ? ViewUtility::twipsToPixels(twips, dpi) : defaultWidth(grid, ds.Field(field)));
    }
}

} // namespace

Binding::Binding(std::shared_ptr<DataSource> ds) : m_ds(std::move(ds)) {}

void Binding::BindGrid(QTableView *grid, GridSetting *setting, const QString &fieldList)
{
    GridModel *old = ViewUtility::modelOf(grid);
    qint64 current = 0;
    QString currentField;
    QList<qint64> selected;
    if (old && old->dataSource() == m_ds) {
        current = old->currentBookmark();
        currentField = old->currentField();
        selected = old->selectedBookmarks(grid->selectionModel());
    }
    if (current == 0)
        current = m_ds->Bookmark();

    const QString sequence = !fieldList.isEmpty() ? fieldList : setting ? setting->FieldSequence() : QString();
    auto *model = new GridModel(m_ds, sequence, grid);
    QItemSelectionModel *oldSelection = grid->selectionModel();
    grid->setModel(model);
    // The view keeps neither the model it replaced nor that model's selection.
    if (old) {
        if (oldSelection && oldSelection->model() == old)
            delete oldSelection;
        delete old;
    }
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, model, [model](const QModelIndex &index) {
        if (index.isValid())
            model->rememberCurrent(model->bookmarkAt(index.row()), model->fieldAt(index.column()));
    });
    WholeViewKeys::install(grid);
    if (setting)
        applyWidths(grid, model, *setting, *m_ds);
    restoreRowsWhenKnown(grid, model, current, currentField, selected);
}

void Binding::ApplyGridSetting(QTableView *grid, GridSetting *setting)
{
    GridModel *model = ViewUtility::modelOf(grid);
    if (!model || !setting)
        return;
    const qint64 current = model->currentBookmark();
    const QString currentField = model->currentField();
    const QList<qint64> selected = model->selectedBookmarks(grid->selectionModel());
    model->setFieldSequence(setting->FieldSequence());
    applyWidths(grid, model, *setting, *m_ds);
    restoreRows(grid, model, current, currentField, selected);
}

QVariant Binding::EditNewRow(const QVariantList &presets, QWidget *owner)
{
    return EditPanel::editNew(m_ds, presets, owner ? owner : QApplication::activeWindow());
}

QVariant Binding::EditCurrentRow(const QVariantList &presets, const QString &name, bool modal, QWidget *owner)
{
    Q_UNUSED(modal)
    return EditPanel::editCurrent(m_ds, presets, name, owner ? owner : QApplication::activeWindow());
}

bool Binding::EditFieldSequence(const QString &title, QString &sequence, QWidget *owner)
{
    FieldSequenceDialog dialog(m_ds->fields(), sequence, owner ? owner : QApplication::activeWindow());
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    sequence = dialog.sequence();
    return true;
}

namespace ViewUtility {

void UnbindGrid(QTableView *grid)
{
    GridModel *old = modelOf(grid);
    QItemSelectionModel *oldSelection = grid->selectionModel();
    grid->setModel(nullptr);
    if (!old)
        return;
    if (oldSelection && oldSelection->model() == old)
        delete oldSelection;
    delete old;
}

void ShowRowWhenKnown(QTableView *grid, qint64 oid, const QString &field)
{
    if (GridModel *model = modelOf(grid))
        restoreRowsWhenKnown(grid, model, oid, field, {});
}

objdb::Binding Binding(std::shared_ptr<DataSource> ds)
{
    return objdb::Binding(std::move(ds));
}

} // namespace ViewUtility

} // namespace objdb
