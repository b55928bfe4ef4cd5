#pragma once
// The list from which a child row's parent is chosen.

#include "objdb/viewschema.h"

#include <QDialog>
#include <memory>
#include <optional>

class QTableWidget;

namespace objdb {

class DataSource;

class ParentChooser : public QDialog {
    Q_OBJECT

public:
    // Lists the candidates' rows with the given fields (names of the candidates' fields).
    ParentChooser(std::shared_ptr<DataSource> candidates, const QStringList &fieldNames, QWidget *parent = nullptr);
    QTableWidget *list() const { return m_list; }
    // The OID of the row chosen, once accepted.
    std::optional<qint64> chosen() const { return m_chosen; }

public slots:
    void accept() override;

private:
    std::shared_ptr<DataSource> m_candidates;
    QTableWidget *m_list;
    std::optional<qint64> m_chosen;
};

} // namespace objdb
