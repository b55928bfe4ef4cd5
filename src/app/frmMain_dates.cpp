// The date selection of the views: all dates, one day or one month of SelectionDate, and the
// caption of the date button that tells what the grid shows.
#include "app/frmMain.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"
#include "services/messageservice.h"
#include "services/errorreport.h"
#include "views/frmDateSetting.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPushButton>

void frmMain::UpdateDateSelectionCaption()
{
    const bool byDay = modGlobal::UseDateSelection;
    const bool byMonth = modGlobal::UseMonthSelection;
    mnuSelAll->setChecked(!byDay && !byMonth);
    mnuSelDate->setChecked(byDay);
    mnuSelMonth->setChecked(byMonth);

    const QString dateField = cmdDateSel->property("tag").toString();
    QString fieldCaption;
    if (!dateField.isEmpty()) {
        const objdb::FieldDef *field = m_objCurDS ? m_objCurDS->Field(dateField) : nullptr;
        fieldCaption = field ? field->caption : dateField;
    }
    const DateSelectionCaption caption =
        CaptionForDateSelection(CurrentDateSelection(), modGlobal::SelectionDate.date(), fieldCaption);
    cmdDateSel->setText(caption.text);
    cmdDateSel->setToolTip(caption.toolTip);
    mnuSelection->setTitle(caption.menuTitle);

    const QString unit = byMonth ? QStringLiteral("Mese") : QStringLiteral("Giorno");
    mnuSelPrevious->setText(unit + QStringLiteral(" &precedente\tAlt+Sinistra"));
    mnuSelNext->setText(unit + QStringLiteral(" &successivo\tAlt+Destra"));
    mnuSelToday->setText((byMonth ? QStringLiteral("Mese &corrente") : QStringLiteral("&Oggi"))
                         + QStringLiteral("\tAlt+Home"));
    // All dates have no day to move from; "Oggi" selects today's day then.
    mnuSelPrevious->setEnabled(byDay || byMonth);
    mnuSelNext->setEnabled(byDay || byMonth);
}

namespace {

// Stores the new selection and shows the view limited by it.
void applySelection(frmMain &form)
{
    form.UpdateDateSelectionCaption();
    WriteConfiguration();
    form.RefreshDetailView(QString());
}

} // namespace

void frmMain::mnuSelAll_Click()
{
    if (mnuSelAll->isChecked())
        return;
    modGlobal::UseDateSelection = false;
    modGlobal::UseMonthSelection = false;
    applySelection(*this);
}

void frmMain::mnuSelDate_Click()
{
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    modGlobal::UseDateSelection = true;
    modGlobal::UseMonthSelection = false;
    applySelection(*this);
}

void frmMain::mnuSelMonth_Click()
{
    // Any day of the wanted month selects the month.
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    modGlobal::UseDateSelection = false;
    modGlobal::UseMonthSelection = true;
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
    moveSelectionTo(StepSelectionDate(selection, modGlobal::SelectionDate.date(), -1));
}

void frmMain::mnuSelNext_Click()
{
    const DateSelection selection = CurrentDateSelection();
    if (cmdDateSel->isHidden() || selection == DateSelection::All) {
        MessageService::beep();
        return;
    }
    moveSelectionTo(StepSelectionDate(selection, modGlobal::SelectionDate.date(), 1));
}

void frmMain::mnuSelToday_Click()
{
    if (cmdDateSel->isHidden()) {
        MessageService::beep();
        return;
    }
    if (!modGlobal::UseMonthSelection)
        modGlobal::UseDateSelection = true;
    moveSelectionTo(QDate::currentDate());
}
