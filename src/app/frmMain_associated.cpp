// The menu "Dati associati": its three lists rebuilt for every view, and their commands, which run
// one tick later through tmFunc and show the related rows of the current row in the data window.

#include "app/frmMain.h"

#include "data/associateddata.h"

#include "objdb/datasource.h"
#include "objdb/relations/relations.h"
#include "views/currentview.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>

namespace {

// Header captions and relations of the three lists, in menu order.
struct AssociatedList {
    QList<QAction *> frmMain::*items;
    const char *header;
    objdb::RelationKind kind;
};

} // namespace

void frmMain::connectAssociatedCommands()
{
    static const AssociatedList lists[] = {
        {&frmMain::mnuReferencedItem, "< Associati >", objdb::RelationKind::References},
        {&frmMain::mnuRefItem, "< Riferimenti >", objdb::RelationKind::Referencing},
        {&frmMain::mnuContItem, "< Contenitori >", objdb::RelationKind::Containers},
    };
    for (const AssociatedList &list : lists) {
        QAction *header = (this->*list.items).first();
        header->setText(QString::fromUtf8(list.header));
        header->setEnabled(false);
        header->setProperty("kind", QVariant::fromValue(int(list.kind)));
    }
    connect(mnuAssociation, &QMenu::triggered, this, [this](QAction *item) {
        for (QList<QAction *> *items : {&mnuReferencedItem, &mnuRefItem, &mnuContItem}) {
            const int index = int(items->indexOf(item));
            if (index > 0)
                AssociatedItem_Click(*items, index);
        }
    });
    // A right click on a row's number chooses the row and offers its associated data.
    dgView->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dgView->verticalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QHeaderView *rows = dgView->verticalHeader();
        const int row = rows->logicalIndexAt(pos);
        if (row < 0 || !dgView->model())
            return;
        dgView->setCurrentIndex(dgView->model()->index(row, qMax(0, dgView->currentIndex().column())));
        mnuAssociation->popup(rows->viewport()->mapToGlobal(pos));
    });
    BuildAssociatedMenus(nullptr, true);
}

void frmMain::BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly)
{
    for (QList<QAction *> *items : {&mnuReferencedItem, &mnuRefItem, &mnuContItem}) {
        items->first()->setVisible(true);
        while (items->size() > 1)
            delete items->takeLast();
    }
    if (!p_blnClearOnly && p_objDS) {
        const AssociatedItems built = AssociatedItemsFor(*p_objDS);
        const QList<std::pair<QList<QAction *> *, const QList<AssociatedItem> *>> lists{
            {&mnuReferencedItem, &built.referenced}, {&mnuRefItem, &built.references}, {&mnuContItem, &built.containers}};
        for (int l = 0; l < lists.size(); ++l) {
            QList<QAction *> &items = *lists.at(l).first;
            // Each list's items go between its header and the next list's.
            QAction *before = l + 1 < lists.size() ? lists.at(l + 1).first->first() : nullptr;
            const QString array = items.first()->objectName().section(QLatin1Char('_'), 0, -2);
            for (const AssociatedItem &entry : *lists.at(l).second) {
                auto *item = new QAction(entry.caption, mnuAssociation);
                item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
                item->setProperty("tag", QString::number(entry.tag));
                item->setEnabled(entry.enabled);
                mnuAssociation->insertAction(before, item);
                items.append(item);
            }
        }
    }
    if (mnuReferencedItem.size() == 1 && mnuRefItem.size() == 1 && mnuContItem.size() == 1)
        for (QList<QAction *> *items : {&mnuReferencedItem, &mnuRefItem, &mnuContItem})
            items->first()->setVisible(false);
}

void frmMain::mnuReferencedItem_Click(int Index)
{
    AssociatedItem_Click(mnuReferencedItem, Index);
}

void frmMain::mnuRefItem_Click(int Index)
{
    AssociatedItem_Click(mnuRefItem, Index);
}

void frmMain::mnuContItem_Click(int Index)
{
    AssociatedItem_Click(mnuContItem, Index);
}

void frmMain::AssociatedItem_Click(const QList<QAction *> &items, int Index)
{
    if (!m_view->m_objCurDS || m_view->m_objCurDS->IsEmpty() || Index < 1 || Index >= items.size())
        return;
    const int number = items.at(Index)->property("tag").toString().toInt();
    const auto kind = objdb::RelationKind(items.first()->property("kind").toInt());
    PostCommand([this, kind, number] { ShowAssociatedCommand(kind, number); });
}

void frmMain::ShowAssociatedCommand(objdb::RelationKind kind, int n)
{
    if (!m_view->m_objCurDS)
        return;
    // The row the user sees as current is the one whose related data is asked for.
    m_view->followCurrentRow();
    // The related rows open in a window apart: the status bar goes on describing this window's view.
    const QString status = sbPanel1->text();
    ShowAssociatedData(*m_view->m_objCurDS, kind, n, this);
    SetStatusMsg(status);
}
