// The date selection of the views: all dates, one day or one month of SelectionDate, and the
// caption of the date button that tells what the grid shows.
#include "app/frmMain.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"
#include "views/dateselectioncaption.h"
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
    const DateSelection selection = byMonth ? DateSelection::Month : byDay ? DateSelection::Day : DateSelection::All;
    const DateSelectionCaption caption =
        CaptionForDateSelection(selection, modGlobal::SelectionDate.date(), fieldCaption);
    cmdDateSel->setText(caption.text);
    cmdDateSel->setToolTip(caption.toolTip);
    mnuSelection->setTitle(caption.menuTitle);
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
    mnuSelection->popup(QCursor::pos());
}
