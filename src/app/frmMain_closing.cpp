// The closing summary of the day at the cash desk, or of the month or period the administrator selected.
#include "app/frmMain.h"

#include "output/frmClosingSummary.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "views/currentview.h"

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
    output::frmClosingSummary window(m_objSession.database, from, to, administrator, this);
    window.exec();
}
