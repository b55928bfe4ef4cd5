// The place the operator left: section, date mode and date, restored at the next start.
#include "app/frmMain.h"

#include "services/modGlobal.h"
#include "views/datestep.h"
#include "views/rememberedplace.h"
#include "views/sectiontree.h"

#include <QTreeWidget>

void frmMain::restoreRememberedSelection()
{
    const RememberedPlace place = ReadRememberedPlace(QDate::currentDate());
    if (place.mode)
        SetCurrentDateSelection(*place.mode);
    if (place.date.isValid())
        modGlobal::SelectionDate = place.date.startOfDay();
    if (place.periodEnd.isValid())
        modGlobal::SelectionPeriodEnd = place.periodEnd;
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
    place.mode = CurrentDateSelection();
    place.date = modGlobal::SelectionDate.date();
    place.periodEnd = modGlobal::SelectionPeriodEnd;
    WriteRememberedPlace(place, QDate::currentDate());
}
