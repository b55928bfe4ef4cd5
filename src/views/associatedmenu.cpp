#include "views/associatedmenu.h"

#include "data/associateddata.h"
#include "objdb/relations/relations.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

void AssociatedMenu::setHeaders()
{
    const std::pair<QList<QAction *> *, std::pair<const char *, objdb::RelationKind>> headers[] = {
        {&referenced, {"< Associati >", objdb::RelationKind::References}},
        {&references, {"< Riferimenti >", objdb::RelationKind::Referencing}},
        {&containers, {"< Contenitori >", objdb::RelationKind::Containers}},
    };
    for (const auto &[items, header] : headers) {
        QAction *first = items->first();
        first->setText(QString::fromUtf8(header.first));
        first->setEnabled(false);
        first->setProperty("kind", QVariant::fromValue(int(header.second)));
    }
}

void AssociatedMenu::rebuild(const objdb::DataSource *ds)
{
    for (QList<QAction *> *items : {&referenced, &references, &containers}) {
        items->first()->setVisible(true);
        while (items->size() > 1)
            delete items->takeLast();
    }
    if (ds) {
        const AssociatedItems built = AssociatedItemsFor(*ds);
        const QList<std::pair<QList<QAction *> *, const QList<AssociatedItem> *>> lists{
            {&referenced, &built.referenced}, {&references, &built.references}, {&containers, &built.containers}};
        for (int l = 0; l < lists.size(); ++l) {
            QList<QAction *> &items = *lists.at(l).first;
            // Each list's items go between its header and the next list's.
            QAction *before = l + 1 < lists.size() ? lists.at(l + 1).first->first() : nullptr;
            const QString array = items.first()->objectName().section(QLatin1Char('_'), 0, -2);
            for (const AssociatedItem &entry : *lists.at(l).second) {
                auto *item = new QAction(entry.caption, menu);
                item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
                item->setProperty("tag", QString::number(entry.tag));
                item->setEnabled(entry.enabled);
                menu->insertAction(before, item);
                items.append(item);
            }
        }
    }
    if (referenced.size() == 1 && references.size() == 1 && containers.size() == 1)
        for (QList<QAction *> *items : {&referenced, &references, &containers})
            items->first()->setVisible(false);
}

std::pair<const QList<QAction *> *, int> AssociatedMenu::find(QAction *item) const
{
    for (const QList<QAction *> *items : {&referenced, &references, &containers})
        if (const int index = int(items->indexOf(item)); index > 0)
            return {items, index};
    return {nullptr, 0};
}

objdb::RelationKind RelationOf(const QList<QAction *> &items)
{
    return objdb::RelationKind(items.first()->property("kind").toInt());
}

int RelationNumberOf(const QAction *item)
{
    return item->property("tag").toString().toInt();
}
