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

void frmMain::connectMaintenanceCommands()
{
    connect(mnuDeletePayment, &QAction::triggered, this, Guarded(this, &frmMain::mnuDeletePayment_Click));
    connect(mnuVerifyArchive, &QAction::triggered, this, Guarded(this, &frmMain::mnuVerifyArchive_Click));
    connect(mnuDeletionLog, &QAction::triggered, this, Guarded(this, &frmMain::mnuDeletionLog_Click));
    connect(this, &frmMain::currencyConversionRequested, this, Guarded(this, &frmMain::ConvertArchive));
}

void frmMain::mnuDeletePayment_Click()
{
    if (RefuseNonAdministrator(this))
        return;
    const auto &ds = m_view->m_objCurDS;
    if (!ds) {
        MessageService::beep(); // no view open, as on a section's overview page
        return;
    }
    frmDeletePayment::SetDate(QDate::currentDate(), -1, -1, this);
    if (ds && ds->GetTable().Name() == QLatin1String("Pagamenti"))
        RefreshDetailView(QString());
}

void frmMain::mnuVerifyArchive_Click()
{
    if (RefuseNonAdministrator(this))
        return;
    frmArchiveCheck::ShowCheck(this);
    // Ricalcola may have changed what the view shows.
    if (m_view->m_objCurDS)
        RefreshDetailView(QString());
}

void frmMain::ConvertArchive()
{
    if (RefuseNonAdministrator(this))
        return;
    if (ConvertArchiveToEuro()) {
        // The amounts are in Euro now: shown as stored, with lire on offer.
        m_view->setCurrencyConversion(false);
        modGlobal::g_objDataContext->SetConversionCurrency(ArchiveFacts::ConversionCurrency(*modGlobal::g_objDatabase));
        UpdateCurrencyMenu();
        m_view->writeSettings();
        WriteConfiguration();
    }
    if (m_view->m_objCurDS)
        RefreshDetailView(QString());
}

void frmMain::mnuDeletionLog_Click()
{
    if (RefuseNonAdministrator(this))
        return;
    objdb::OpenOptions options;
    options.readOnly = true;
    options.notify = this;
    options.convertCurrency = m_view->currencyConversion();
    auto log = modGlobal::g_objDataContext->Tables().Item(DeletionLog::kTable).OpenDataSource(
        QString(), QStringLiteral("Quando DESC"), options);
    objdb::ShowDataSource(log, QStringLiteral("sola lettura"));
}
