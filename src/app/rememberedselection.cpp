// The place the operator left the main window, read and stored with the settings.
#include "app/rememberedselection.h"

#include "app/frmMain.h"

#include "views/currentview.h"
#include "views/rememberedplace.h"
#include "views/sectiontree.h"

#include <QTreeWidget>

void RememberedSelection::restore(frmMain &form)
{
    // Today, unless the operator left another day.
    form.m_view->setSelectionDate(QDate::currentDate());
    const RememberedPlace place = ReadRememberedPlace(QDate::currentDate());
    if (place.mode)
        form.m_view->setDateSelection(*place.mode);
    if (place.date.isValid())
        form.m_view->setSelectionDate(place.date);
    if (place.periodEnd.isValid())
        form.m_view->setSelectionPeriodEnd(place.periodEnd);
    form.m_strRememberedSection = place.section;
}

void RememberedSelection::selectSection(frmMain &form)
{
    const QString remembered = std::exchange(form.m_strRememberedSection, QString());
    QTreeWidgetItem *node = SectionTree::NodeByKey(form.tvTreeView, remembered);
    // A grouping node has no key and is known by its text. A section this operator may not see
    // leaves the tree's own choice.
    for (int i = 1; !node && !remembered.isEmpty() && form.nodeByIndex(i); ++i)
        if (SectionTree::KeyOf(form.nodeByIndex(i)).isEmpty() && form.nodeByIndex(i)->text(0) == remembered)
            node = form.nodeByIndex(i);
    if (node)
        form.tvTreeView->setCurrentItem(node);
}

void RememberedSelection::store(const frmMain &form)
{
    RememberedPlace place;
    const QTreeWidgetItem *node = form.selectedNode();
    if (node)
        place.section = SectionTree::KeyOf(node).isEmpty() ? node->text(0) : SectionTree::KeyOf(node);
    place.mode = form.m_view->dateSelection();
    place.date = form.m_view->selectionDate();
    place.periodEnd = form.m_view->selectionPeriodEnd();
    WriteRememberedPlace(place, QDate::currentDate());
}
