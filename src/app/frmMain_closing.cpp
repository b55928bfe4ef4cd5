// The closing summary of the day at the cash desk, or of the month or period the administrator selected.
#include "app/frmMain.h"

#include "output/frmClosingSummary.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "app/startup.h"
#include "objdb/datacontext.h"
#include "views/currentview.h"

#include <QAction>

void frmMain::connectClosingSummary()
{
    connect(mnuClosingSummary, &QAction::triggered, this, Guarded(this, &frmMain::mnuClosingSummary_Click));
}

void frmMain::mnuClosingSummary_Click()
{
    if (!modGlobal::IsDatabaseReady()) {
        MessageService::beep();
        return;
    }
    QDate from = QDate::currentDate();
    QDate to = from;
    const bool administrator = modGlobal::g_objDataContext->UserLevel == 1;
    const DateSelection selection = m_view->dateSelection();
    const QDate date = m_view->selectionDate();
    if (administrator && selection == DateSelection::Month) {
        from = QDate(date.year(), date.month(), 1);
        to = from.addMonths(1).addDays(-1);
    } else if (administrator && selection == DateSelection::Period) {
        from = date;
        to = m_view->selectionPeriodEnd();
    } else if (administrator && selection == DateSelection::Day) {
        from = to = date;
    }
    output::frmClosingSummary window(modGlobal::g_objDatabase, from, to, administrator, this);
    window.exec();
}
