// The tools menu's commands on the archive: the maintenance subsystem's work (deleting payments,
// the archive check, the deletion log, the conversion to Euro, the import of another archive's rows,
// the transfer of the archive to a server)
// and the closing summary of the day at the cash desk, or of the month or period the administrator
// selected.

#include "app/frmMain.h"

#include "app/commandtable.h"
#include "app/startup.h"
#include "maintenance/archiveimport.h"
#include "maintenance/deletionlogwindow.h"
#include "maintenance/frmArchiveCheck.h"
#include "maintenance/frmDeletePayment.h"
#include "maintenance/modEuroConversion.h"
#include "maintenance/servertransfer.h"
#include "output/closingperiod.h"
#include "output/frmClosingSummary.h"
#include "data/archivefacts.h"
#include "services/administratoronly.h"
#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "views/currentview.h"

#include <QAction>
#include <QDate>

void frmMain::mnuDeletePayment_Click()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    const auto &ds = m_view->m_objCurDS;
    if (!ds) {
        MessageService::beep(); // no view open, as on a section's overview page
        return;
    }
    frmDeletePayment::SetDate(*m_objSession.dataContext, QDate::currentDate(), -1, -1, this);
    if (ds && ds->GetTable().Name() == QLatin1String("Pagamenti"))
        RefreshDetailView(QString());
}

void frmMain::mnuVerifyArchive_Click()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    frmArchiveCheck::ShowCheck(*m_objSession.dataContext, this);
    // Ricalcola may have changed what the view shows.
    if (m_view->m_objCurDS)
        RefreshDetailView(QString());
}

void frmMain::ConvertArchive()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    if (ConvertArchiveToEuro(*m_objSession.dataContext)) {
        // The amounts are in Euro now: shown as stored, with lire on offer.
        m_view->setCurrencyConversion(false);
        m_objSession.dataContext->SetConversionCurrency(ArchiveFacts::ConversionCurrency(*m_objSession.database));
        UpdateCurrencyMenu();
        m_view->writeSettings();
        WriteConfiguration();
    }
    if (m_view->m_objCurDS)
        RefreshDetailView(QString());
}

void frmMain::mnuDeletionLog_Click()
{
    if (!RefuseNonAdministrator(m_objSession, this))
        ShowDeletionLog(*m_objSession.dataContext, this, m_view->currencyConversion());
}

void frmMain::mnuTransferToServer_Click()
{
    // Once the desk's archive is the server's, it is opened again from there.
    if (!RefuseNonAdministrator(m_objSession, this) && TransferArchiveToServer(m_objSession, this))
        ReloadDatabase();
}

void frmMain::mnuImport_Click()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    if (!m_view->m_objCurDS)
        MessageService::beep();
    else if (ImportIntoView(m_view->m_objCurDS, this, this))
        RefreshDetailView(QString());
}

void frmMain::mnuClosingSummary_Click()
{
    if (!m_objSession.isReady()) {
        MessageService::beep();
        return;
    }
    const bool administrator = m_objSession.dataContext->UserLevel == 1;
    const auto [from, to] = output::ClosingPeriodFor(administrator, m_view->dateSelection(), m_view->selectionDate(),
                                                     m_view->selectionPeriodEnd(), QDate::currentDate());
    output::frmClosingSummary window(m_objSession.database, from, to, administrator, this);
    window.exec();
}
