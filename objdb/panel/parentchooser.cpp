#include "objdb/panel/parentchooser.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/types.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace objdb {

ParentChooser::ParentChooser(std::shared_ptr<DataSource> candidates, const QStringList &fieldNames, QWidget *parent)
    : QDialog(parent), m_candidates(std::move(candidates)), m_list(new QTableWidget(this))
{
    setObjectName(QStringLiteral("ParentChooser"));
    setWindowTitle(m_candidates->GetTable().Caption());
    m_list->setObjectName(QStringLiteral("lstCandidates"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();

    QList<int> columns;
    QStringList captions;
    const QList<FieldDef> &fields = m_candidates->fields();
    for (const QString &name : fieldNames) {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0) {
                columns.append(i);
                captions.append(fields.at(i).caption);
            }
        }
    }
    const QList<qint64> keys = m_candidates->keys();
    const QList<QVariantList> rows = m_candidates->fetchRows(keys);
    m_list->setColumnCount(int(columns.size()));
    m_list->setHorizontalHeaderLabels(captions);
    m_list->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            const FieldDef &field = fields.at(columns.at(c));
            auto *item = new QTableWidgetItem(displayText(rows.at(r).value(columns.at(c)), field.type));
            if (field.type == TypeAmount)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setData(Qt::UserRole, keys.at(r));
            m_list->setItem(r, c, item);
        }
    }
    m_list->resizeColumnsToContents();
    m_list->horizontalHeader()->setStretchLastSection(true);
    if (!rows.isEmpty())
        m_list->selectRow(0);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &ParentChooser::accept);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, &ParentChooser::accept);
    connect(cancel, &QPushButton::clicked, this, &ParentChooser::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(560, 320);
}

void ParentChooser::accept()
{
    const QTableWidgetItem *item = m_list->currentRow() >= 0 ? m_list->item(m_list->currentRow(), 0) : nullptr;
    if (!item)
        return; // nothing chosen yet: stay open
    m_chosen = item->data(Qt::UserRole).toLongLong();
    QDialog::accept();
}

} // namespace objdb
