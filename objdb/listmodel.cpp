#include "objdb/listmodel.h"

#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/types.h"

namespace objdb {

ListModel::ListModel(std::shared_ptr<DataSource> ds, const QString &column, QObject *parent)
    : QAbstractListModel(parent), m_ds(std::move(ds)), m_column(column)
{
    if (!m_ds->Field(column))
        fail(QStringLiteral("Campo sconosciuto nell'elenco: %1").arg(column));
    refresh();
}

void ListModel::refresh()
{
    beginResetModel();
    m_keys = m_ds->keys();
    m_values.clear();
    const int index = int(m_ds->Field(m_column) - m_ds->fields().constData());
    const auto rows = m_ds->fetchRows(m_keys);
    for (const auto &row : rows)
        m_values.append(row.value(index));
    endResetModel();
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_values.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return displayText(m_values.at(index.row()), m_ds->Field(m_column)->type);
    if (role == Qt::UserRole)
        return m_keys.at(index.row());
    return QVariant();
}

qint64 ListModel::bookmark(int row) const
{
    return row >= 0 && row < m_keys.size() ? m_keys.at(row) : 0;
}

int ListModel::rowOf(qint64 bookmark) const
{
    return int(m_keys.indexOf(bookmark));
}

} // namespace objdb
