#pragma once
// A list of one column of a data source's rows, in the data source's order, for drop-down lists.

#include <QAbstractListModel>
#include <QList>
#include <memory>

namespace objdb {

class DataSource;

class ListModel : public QAbstractListModel {
    Q_OBJECT

public:
    ListModel(std::shared_ptr<DataSource> ds, const QString &column, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Reads the rows again.
    void refresh();
    // The OID (bookmark) of a row of the list, 0 for none.
    qint64 bookmark(int row) const;
    // The row of the list holding the data source's current row, -1 for none.
    int rowOf(qint64 bookmark) const;

private:
    std::shared_ptr<DataSource> m_ds;
    QString m_column;
    QList<qint64> m_keys;
    QList<QVariant> m_values;
};

} // namespace objdb
