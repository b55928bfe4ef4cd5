// The date selection of the views: all dates, one day or one month of SelectionDate, or a period
// from it, and the caption of the date button that tells what the grid shows.
#include "app/frmMain.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"
#include "services/messageservice.h"
#include "services/errorreport.h"
#include "views/dateperiod.h"
#include "views/frmDateSetting.h"
#include "views/frmFromDateToDate.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPushButton>

void frmMain::UpdateDateSelectionCaption()
{
    const DateSelection selection = CurrentDateSelection();
    mnuSelAll->setChecked(selection == DateSelection::All);
    mnuSelDate->setChecked(selection == DateSelection::Day);
    mnuSelMonth->setChecked(selection == DateSelection::Month);
    mnuSelPeriod->setChecked(selection == DateSelection::Period);

    const QString dateField = cmdDateSel->property("tag").toString();
    QString fieldCaption;
    if (!dateField.isEmpty()) {
        const objdb::FieldDef *field = m_objCurDS ? m_objCurDS->Field(dateField) : nullptr;
        fieldCaption = field ? field->caption : dateField;
    }
    const DateSelectionCaption caption = CaptionForDateSelection(selection, modGlobal::SelectionDate.date(), fieldCaption,
                                                                 modGlobal::SelectionPeriodEnd);
    cmdDateSel->setText(caption.text);
    cmdDateSel->setToolTip(caption.toolTip);
    mnuSelection->setTitle(caption.menuTitle);

    const QString unit = selection == DateSelection::Month  ? QStringLiteral("Mese")
                       : selection == DateSelection::Period ? QStringLiteral("Periodo")
                                                            : QStringLiteral("Giorno");
    mnuSelPrevious->setText(unit + QStringLiteral(" p&recedente\tAlt+Sinistra"));
    mnuSelNext->setText(unit + QStringLiteral(" &successivo\tAlt+Destra"));
    mnuSelToday->setText((selection == DateSelection::Day || selection == DateSelection::All ? QStringLiteral("&Oggi")
                                                                                               : unit + QStringLiteral(" &corrente"))
                         + QStringLiteral("\tAlt+Home"));
    // All dates have no day to move from; "Oggi" selects today's day then.
    mnuSelPrevious->setEnabled(selection != DateSelection::All);
    mnuSelNext->setEnabled(selection != DateSelection::All);
}

namespace {

// Stores the new selection and shows the view limited by it.
void applySelection(frmMain &form)
{
    form.UpdateDateSelectionCaption();
    WriteConfiguration();
    form.RefreshDetailView(QString());
}

DatePeriod selectedPeriod()
{
    return {modGlobal::SelectionDate.date(), modGlobal::SelectionPeriodEnd};
}

// The period the period dialog starts from: the one selected, the month, the day, or today.
DatePeriod proposedPeriod()
{
    const QDate date = modGlobal::SelectionDate.date();
    switch (CurrentDateSelection()) {
    case DateSelection::Period:
        return selectedPeriod();
    case DateSelection::Month:
        return {QDate(date.year(), date.month(), 1), QDate(date.year(), date.month(), 1).addMonths(1).addDays(-1)};
    case DateSelection::Day:
        return {date, date};
    case DateSelection::All:
        break;
    }
    return {QDate::currentDate(), QDate::currentDate()};
}

// The reference date `steps` days, months or periods on; a period's end moves with it.
QDate stepSelection(DateSelection selection, int steps)
{
    if (selection != DateSelection::Period)
        return StepSelectionDate(selection, modGlobal::SelectionDate.date(), steps);
    const DatePeriod moved = StepPeriod(selectedPeriod(), steps);
    modGlobal::SelectionPeriodEnd = moved.to;
    return moved.from;
}

} // namespace

void frmMain::mnuSelAll_Click()
{
    if (mnuSelAll->isChecked())
        return;
    SetCurrentDateSelection(DateSelection::All);
    applySelection(*this);
}

void frmMain::mnuSelDate_Click()
{
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    SetCurrentDateSelection(DateSelection::Day);
    applySelection(*this);
}

void frmMain::mnuSelMonth_Click()
{
    // Any day of the wanted month selects the month.
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    SetCurrentDateSelection(DateSelection::Month);
    applySelection(*this);
}

void frmMain::mnuSelPeriod_Click()
{
    const DatePeriod proposed = proposedPeriod();
    QVariant from = proposed.from;
    QVariant to = proposed.to;
    // A period that ends before it starts would show nothing: asked again with what was typed.
    while (true) {
        if (!frmFromDateToDate::SetDate(from, to, -1, -1, this))
            return;
        if (from.toDate() <= to.toDate())
            break;
        MessageService::inform(QStringLiteral("La data di fine periodo precede la data di inizio."),
                               MessageService::Icon::Exclamation, QString(), this);
    }
    modGlobal::SelectionDate = from.toDate().startOfDay();
    modGlobal::SelectionPeriodEnd = to.toDate();
    SetCurrentDateSelection(DateSelection::Period);
    applySelection(*this);
}

void frmMain::cmdDateSel_Click()
{
    const int x = m_intDateClickX;
    m_intDateClickX = -1;
    const DateButtonPart part = x < 0 ? DateButtonPart::Menu
                                      : DateButtonPartAt(x, cmdDateSel->width(), cmdDateSel->text(),
                                                         cmdDateSel->fontMetrics(), CurrentDateSelection());
    if (part == DateButtonPart::Previous)
        RunReportingFailures([this] { mnuSelPrevious_Click(); });
    else if (part == DateButtonPart::Next)
        RunReportingFailures([this] { mnuSelNext_Click(); });
    else
        mnuSelection->popup(QCursor::pos());
}

void frmMain::moveSelectionTo(const QDate &date)
{
    modGlobal::SelectionDate = date.startOfDay();
    applySelection(*this);
}

void frmMain::mnuSelPrevious_Click()
{
    const DateSelection selection = CurrentDateSelection();
    if (cmdDateSel->isHidden() || selection == DateSelection::All) {
        MessageService::beep();
        return;
    }
    moveSelectionTo(stepSelection(selection, -1));
}

void frmMain::mnuSelNext_Click()
{
    const DateSelection selection = CurrentDateSelection();
    if (cmdDateSel->isHidden() || selection == DateSelection::All) {
        MessageService::beep();
        return;
    }
    moveSelectionTo(stepSelection(selection, 1));
}

void frmMain::mnuSelToday_Click()
{
    if (cmdDateSel->isHidden()) {
        MessageService::beep();
        return;
    }
    const DateSelection selection = CurrentDateSelection();
    if (selection == DateSelection::All)
        SetCurrentDateSelection(DateSelection::Day);
    if (selection != DateSelection::Period) {
        moveSelectionTo(QDate::currentDate());
        return;
    }
    const DatePeriod current = PeriodHolding(selectedPeriod(), QDate::currentDate());
    modGlobal::SelectionPeriodEnd = current.to;
    moveSelectionTo(current.from);
}
