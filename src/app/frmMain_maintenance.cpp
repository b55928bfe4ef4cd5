// The tools menu's commands on the archive, the maintenance subsystem's work (deleting payments, the
// archive check, the deletion log, the conversion to Euro, the import of another archive's rows, the
// transfer to a server), and the closing summary of the day, or of the administrator's selection.

#include "app/frmMain.h"

#include "maintenance/archiveimport.h"
#include "maintenance/deletionlogwindow.h"
#include "maintenance/frmArchiveCheck.h"
#include "maintenance/frmDeletePayment.h"
#include "maintenance/modEuroConversion.h"
#include "maintenance/servertransfer.h"
#include "output/closingperiod.h"
#include "data/archivefacts.h"
#include "services/administratoronly.h"
#include "services/messageservice.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "views/currentview.h"

#include <QDate>

void frmMain::mnuDeletePayment_Click()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    // No view open, as on a section's overview page: nothing to delete from.
    const auto &ds = m_view->m_objCurDS;
    if (!MessageService::appliesOrBeep(ds != nullptr))
        return;
    frmDeletePayment::SetDate(*m_objSession.dataContext, QDate::currentDate(), -1, -1, this);
    if (ds->GetTable().Name() == QLatin1String("Pagamenti"))
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
    if (MessageService::appliesOrBeep(m_view->m_objCurDS != nullptr) && ImportIntoView(m_view->m_objCurDS, this, this))
        RefreshDetailView(QString());
}

void frmMain::mnuClosingSummary_Click()
{
    if (MessageService::appliesOrBeep(m_objSession.isReady()))
        output::ShowClosingSummary(m_objSession.database, IsAdministrator(m_objSession), m_view->dateSelection(),
                                   m_view->selectionDate(), m_view->selectionPeriodEnd(), this);
}
