// The maintenance commands of the tools menu: the work is the maintenance subsystem's.

#include "app/frmMain.h"

#include "maintenance/frmArchiveCheck.h"
#include "maintenance/frmDeletePayment.h"
#include "maintenance/modEuroConversion.h"
#include "data/archivefacts.h"
#include "data/deletionlog.h"
#include "services/administratoronly.h"
#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/viewer/datawindow.h"
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
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    objdb::OpenOptions options;
    options.readOnly = true;
    options.notify = this;
    options.convertCurrency = m_view->currencyConversion();
    auto log = m_objSession.dataContext->Tables().Item(DeletionLog::kTable).OpenDataSource(
        QString(), QStringLiteral("Quando DESC"), options);
    objdb::ShowDataSource(log, QStringLiteral("sola lettura"));
}
