// The place the operator left the main window, read and stored with the settings.
#include "app/rememberedselection.h"

#include "app/frmMain.h"

#include "services/modGlobal.h"
#include "views/datestep.h"
#include "views/rememberedplace.h"
#include "views/sectiontree.h"

#include <QTreeWidget>

void RememberedSelection::restore(frmMain &form)
{
    const RememberedPlace place = ReadRememberedPlace(QDate::currentDate());
    if (place.mode)
        SetCurrentDateSelection(*place.mode);
    if (place.date.isValid())
        modGlobal::SelectionDate = place.date.startOfDay();
    if (place.periodEnd.isValid())
        modGlobal::SelectionPeriodEnd = place.periodEnd;
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
    place.mode = CurrentDateSelection();
    place.date = modGlobal::SelectionDate.date();
    place.periodEnd = modGlobal::SelectionPeriodEnd;
    WriteRememberedPlace(place, QDate::currentDate());
}
