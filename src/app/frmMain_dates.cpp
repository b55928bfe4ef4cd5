// The date selection commands of the window and the caption of the date button that tells what the
// grid shows; the view keeps the selection.
#include "app/frmMain.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"
#include "views/dateselectioncontrols.h"
#include "views/datestep.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPushButton>
#include <utility>

void frmMain::UpdateDateSelectionCaption()
{
    ShowDateSelection(*m_view, {cmdDateSel, mnuSelection, mnuSelAll, mnuSelDate, mnuSelMonth, mnuSelPeriod,
                                mnuSelPrevious, mnuSelNext, mnuSelToday});
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
    const int x = std::exchange(m_intDateClickX, -1);
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
    if (MessageService::appliesOrBeep(!cmdDateSel->isHidden() && m_view->dateSelection() != DateSelection::All))
        m_view->stepSelection(step);
}

void frmMain::mnuSelToday_Click()
{
    if (MessageService::appliesOrBeep(!cmdDateSel->isHidden()))
        m_view->selectToday();
}
