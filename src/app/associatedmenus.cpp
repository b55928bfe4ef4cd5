#include "app/associatedmenus.h"

#include "app/frmMain.h"
#include "data/associateddata.h"
#include "objdb/datasource.h"
#include "objdb/relations/relations.h"
#include "views/currentview.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void AssociatedMenus::build(frmMain &form, const objdb::DataSource *dataSource)
{
    const QList<QList<QAction *> *> all{&form.mnuReferencedItem, &form.mnuRefItem, &form.mnuContItem};
    for (QList<QAction *> *items : all) {
        items->first()->setVisible(true);
        while (items->size() > 1)
            delete items->takeLast();
    }
    if (dataSource) {
        const AssociatedItems built = AssociatedItemsFor(*dataSource);
        const QList<std::pair<QList<QAction *> *, const QList<AssociatedItem> *>> lists{
            {all[0], &built.referenced}, {all[1], &built.references}, {all[2], &built.containers}};
        for (int l = 0; l < lists.size(); ++l) {
            QList<QAction *> &items = *lists.at(l).first;
            // Each list's items go between its header and the next list's.
            QAction *before = l + 1 < lists.size() ? lists.at(l + 1).first->first() : nullptr;
            const QString array = items.first()->objectName().section(QLatin1Char('_'), 0, -2);
            for (const AssociatedItem &entry : *lists.at(l).second) {
                auto *item = new QAction(entry.caption, form.mnuAssociation);
                item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
                item->setProperty("tag", QString::number(entry.tag));
                item->setEnabled(entry.enabled);
                form.mnuAssociation->insertAction(before, item);
                items.append(item);
            }
        }
    }
    if (form.mnuReferencedItem.size() == 1 && form.mnuRefItem.size() == 1 && form.mnuContItem.size() == 1)
        for (QList<QAction *> *items : all)
            items->first()->setVisible(false);
}

void AssociatedMenus::choose(frmMain &form, const QList<QAction *> &items, int index)
{
    const auto &ds = form.view().m_objCurDS;
    if (!ds || ds->IsEmpty() || index < 1 || index >= items.size())
        return;
    const int number = items.at(index)->property("tag").toString().toInt();
    const auto kind = objdb::RelationKind(items.first()->property("kind").toInt());
    form.PostCommand([&form, kind, number] {
        const auto &source = form.view().m_objCurDS;
        if (!source)
            return;
        // The row the user sees as current is the one whose related data is asked for.
        form.view().followCurrentRow();
        // The related rows open in a window apart: the status bar goes on describing this window's view.
        const QString status = form.sbPanel1->text();
        ShowAssociatedData(*source, kind, number, &form);
        form.SetStatusMsg(status);
    });
}
