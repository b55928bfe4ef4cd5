// The place the operator left: section, date mode and date, restored at the next start.
#include "app/frmMain.h"

#include "views/currentview.h"
#include "views/rememberedplace.h"
#include "views/sectiontree.h"

#include <QTreeWidget>

void frmMain::restoreRememberedSelection()
{
    // Today, unless the operator left another day.
    m_view->setSelectionDate(QDate::currentDate());
    const RememberedPlace place = ReadRememberedPlace(QDate::currentDate());
    if (place.mode)
        m_view->setDateSelection(*place.mode);
    if (place.date.isValid())
        m_view->setSelectionDate(place.date);
    if (place.periodEnd.isValid())
        m_view->setSelectionPeriodEnd(place.periodEnd);
    m_strRememberedSection = place.section;
}

void frmMain::selectRememberedSection()
{
    const QString remembered = std::exchange(m_strRememberedSection, QString());
    QTreeWidgetItem *node = SectionTree::NodeByKey(tvTreeView, remembered);
    // A grouping node has no key and is known by its text. A section this operator may not see
    // leaves the tree's own choice.
    for (int i = 1; !node && !remembered.isEmpty() && nodeByIndex(i); ++i)
        if (SectionTree::KeyOf(nodeByIndex(i)).isEmpty() && nodeByIndex(i)->text(0) == remembered)
            node = nodeByIndex(i);
    if (node)
        tvTreeView->setCurrentItem(node);
}

void frmMain::storeRememberedPlace()
{
    RememberedPlace place;
    const QTreeWidgetItem *node = selectedNode();
    if (node)
        place.section = SectionTree::KeyOf(node).isEmpty() ? node->text(0) : SectionTree::KeyOf(node);
    place.mode = m_view->dateSelection();
    place.date = m_view->selectionDate();
    place.periodEnd = m_view->selectionPeriodEnd();
    WriteRememberedPlace(place, QDate::currentDate());
}
