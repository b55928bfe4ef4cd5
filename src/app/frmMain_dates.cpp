// The date selection commands of the window and the caption of the date button that tells what the
// grid shows; the view keeps the selection.
#include "app/frmMain.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPushButton>

void frmMain::UpdateDateSelectionCaption()
{
    const DateSelection selection = m_view->dateSelection();
    mnuSelAll->setChecked(selection == DateSelection::All);
    mnuSelDate->setChecked(selection == DateSelection::Day);
    mnuSelMonth->setChecked(selection == DateSelection::Month);
    mnuSelPeriod->setChecked(selection == DateSelection::Period);

    const DateSelectionCaption caption = m_view->selectionCaption(cmdDateSel->property("tag").toString());
    cmdDateSel->setText(caption.text);
    cmdDateSel->setToolTip(caption.toolTip);
    mnuSelection->setTitle(caption.menuTitle);

    const DateStepCaptions steps = StepCaptionsFor(selection);
    mnuSelPrevious->setText(steps.previous);
    mnuSelNext->setText(steps.next);
    mnuSelToday->setText(steps.current);
    // All dates have no day to move from; "Oggi" selects today's day then.
    mnuSelPrevious->setEnabled(selection != DateSelection::All);
    mnuSelNext->setEnabled(selection != DateSelection::All);
}

void frmMain::mnuSelAll_Click()
{
    if (!mnuSelAll->isChecked())
        m_view->selectAll();
}

void frmMain::mnuSelDate_Click()
{
    m_view->chooseDay(DateSelection::Day);
}

void frmMain::mnuSelMonth_Click()
{
    m_view->chooseDay(DateSelection::Month);
}

void frmMain::mnuSelPeriod_Click()
{
    m_view->choosePeriod();
}

void frmMain::cmdDateSel_Click()
{
    const int x = m_intDateClickX;
    m_intDateClickX = -1;
    const DateButtonPart part = x < 0 ? DateButtonPart::Menu
                                      : DateButtonPartAt(x, cmdDateSel->width(), cmdDateSel->text(),
                                                         cmdDateSel->fontMetrics(), m_view->dateSelection());
    if (part == DateButtonPart::Previous)
        RunReportingFailures([this] { mnuSelPrevious_Click(); });
    else if (part == DateButtonPart::Next)
        RunReportingFailures([this] { mnuSelNext_Click(); });
    else
        mnuSelection->popup(QCursor::pos());
}

void frmMain::mnuSelPrevious_Click()
{
    stepDateSelection(-1);
}

void frmMain::mnuSelNext_Click()
{
    stepDateSelection(1);
}

void frmMain::stepDateSelection(int step)
{
    if (cmdDateSel->isHidden() || m_view->dateSelection() == DateSelection::All)
        MessageService::beep();
    else
        m_view->stepSelection(step);
}

void frmMain::mnuSelToday_Click()
{
    if (cmdDateSel->isHidden())
        MessageService::beep();
    else
        m_view->selectToday();
}
