#include "app/associatedmenus.h"

#include "app/frmMain.h"
#include "data/associateddata.h"

#include <QAction>
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
