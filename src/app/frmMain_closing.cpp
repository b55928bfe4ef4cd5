// The closing summary of the day at the cash desk, or of the month or period the administrator selected.
#include "app/frmMain.h"

#include "output/frmClosingSummary.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "app/startup.h"
#include "objdb/datacontext.h"

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
    if (administrator && modGlobal::UseMonthSelection) {
        const QDate date = modGlobal::SelectionDate.date();
        from = QDate(date.year(), date.month(), 1);
        to = from.addMonths(1).addDays(-1);
    } else if (administrator && modGlobal::UsePeriodSelection) {
        from = modGlobal::SelectionDate.date();
        to = modGlobal::SelectionPeriodEnd;
    } else if (administrator && modGlobal::UseDateSelection) {
        from = to = modGlobal::SelectionDate.date();
    }
    output::frmClosingSummary window(modGlobal::g_objDatabase, from, to, administrator, this);
    window.exec();
}
