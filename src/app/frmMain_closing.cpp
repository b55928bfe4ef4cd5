// The closing summary of the day at the cash desk, or of the month or period the administrator selected.
#include "app/frmMain.h"

#include "output/frmClosingSummary.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"

#include <QAction>

void frmMain::mnuClosingSummary_Click()
{
    if (!m_objSession.isReady()) {
        MessageService::beep();
        return;
    }
    QDate from = QDate::currentDate();
    QDate to = from;
    const bool administrator = m_objSession.dataContext->UserLevel == 1;
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
    output::frmClosingSummary window(m_objSession.database, from, to, administrator, this);
    window.exec();
}
