#include "views/dateselectioncontrols.h"

#include "views/currentview.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

void ShowDateSelection(const CurrentView &view, const DateSelectionControls &controls)
{
    const DateSelection selection = view.dateSelection();
    controls.all->setChecked(selection == DateSelection::All);
    controls.day->setChecked(selection == DateSelection::Day);
    controls.month->setChecked(selection == DateSelection::Month);
    controls.period->setChecked(selection == DateSelection::Period);

    const DateSelectionCaption caption = view.selectionCaption(controls.button->property("tag").toString());
    controls.button->setText(caption.text);
    controls.button->setToolTip(caption.toolTip);
    controls.menu->setTitle(caption.menuTitle);

    const DateStepCaptions steps = StepCaptionsFor(selection);
    controls.previous->setText(steps.previous);
    controls.next->setText(steps.next);
    controls.today->setText(steps.current);
    // All dates have no day to move from; "Oggi" selects today's day then.
    controls.previous->setEnabled(selection != DateSelection::All);
    controls.next->setEnabled(selection != DateSelection::All);
}
