#include "views/fieldmenus.h"

#include "grid/columnfilters.h"
#include "views/sectionview.h"

#include <QAction>
#include <QMenu>

namespace MenuItems {

void clear(QList<QAction *> &items)
{
    while (items.size() > 1)
        delete items.takeLast();
}

QAction *add(QList<QAction *> &items, const QString &caption, const QString &tag)
{
    QAction *templ = items.first();
    auto *item = new QAction(caption, templ->parent());
    const QString array = templ->objectName().section(QLatin1Char('_'), 0, -2);
    item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
    item->setProperty("tag", tag);
    item->setProperty("index", int(items.size()));
    if (auto *menu = qobject_cast<QMenu *>(templ->parent()))
        menu->addAction(item);
    items.append(item);
    return item;
}

int indexOfField(const QList<QAction *> &items, const QString &field)
{
    for (int i = 1; i < items.size(); ++i)
        if (items.at(i)->property("tag").toString() == field)
            return i;
    return 0;
}

void replaceByNames(QList<QAction *> &items, QMenu *menu, const QStringList &names)
{
    clear(items);
    QAction *templ = items.first();
    const QString array = templ->objectName().section(QLatin1Char('_'), 0, -2);
    for (const QString &name : names) {
        auto *item = new QAction(name, menu);
        item->setObjectName(array + QStringLiteral("_%1").arg(items.size()));
        item->setProperty("index", int(items.size()));
        menu->insertAction(templ, item);
        items.append(item);
    }
}

} // namespace MenuItems

void FieldMenus::clear()
{
    for (QList<QAction *> *items : {&search, &order, &total, &average, &filter, &complexFilter})
        MenuItems::clear(*items);
    find->menu()->clear();
    find->setProperty("tag", QString());
}

void FieldMenus::build(const FieldMenuEntries &entries)
{
    for (const FieldMenuEntry &entry : entries.search) {
        MenuItems::add(search, entry.caption, entry.field);
        QAction *item = find->menu()->addAction(entry.caption);
        item->setObjectName(QStringLiteral("tbToolBar_Find_") + entry.field);
        item->setProperty("key", entry.field);
        item->setProperty("index", int(search.size() - 1));
    }
    // A filtered column's caption carries its condition after the title it returns to.
    for (const FieldMenuEntry &entry : entries.filter)
        MenuItems::add(filter, entry.caption, entry.field)->setProperty("title", entry.caption);
    for (const FieldMenuEntry &entry : entries.order)
        MenuItems::add(order, entry.caption, entry.field);
    for (const FieldMenuEntry &entry : entries.total) {
        MenuItems::add(total, entry.caption, entry.field);
        MenuItems::add(average, entry.caption, entry.field);
    }
    find->setProperty("tag", entries.findDefault > 0 ? QString::number(entries.findDefault) : QString());
}

void MarkFilterItem(QAction *item, const QString &text, bool internal)
{
    const QString title = item->property("title").toString();
    item->setCheckable(true);
    item->setText(text.isEmpty() ? title : ColumnFilters::filteredCaption(title, text, internal));
    item->setChecked(!text.isEmpty());
}

void ResetFilterItems(const QList<QAction *> &items)
{
    for (QAction *item : items.mid(1)) {
        item->setText(item->property("title").toString());
        item->setChecked(false);
        item->setEnabled(true);
    }
}

QList<ColumnFilters::Item> FilterItemsOf(const QList<QAction *> &items)
{
    QList<ColumnFilters::Item> filterItems;
    for (const QAction *column : items.mid(1))
        filterItems.append({column->property("tag").toString(), column->text(), column->property("title").toString()});
    return filterItems;
}
