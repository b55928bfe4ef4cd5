// The maintenance commands of the tools menu: the work is the maintenance subsystem's.

#include "app/frmMain.h"

#include "maintenance/frmDeletePayment.h"
#include "services/errorreport.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"

#include <QAction>
#include <QDate>

void frmMain::connectMaintenanceCommands()
{
    connect(mnuDeletePayment, &QAction::triggered, this, Guarded(this, &frmMain::mnuDeletePayment_Click));
}

void frmMain::mnuDeletePayment_Click()
{
    if (!m_objCurDS)
        return;
    frmDeletePayment::SetDate(QDate::currentDate(), -1, -1, this);
    if (m_objCurDS && m_objCurDS->GetTable().Name() == QLatin1String("Pagamenti"))
        RefreshDetailView(QString());
}
