#include "maintenance/deletionlogwindow.h"

#include "data/deletionlog.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/viewer/datawindow.h"

void ShowDeletionLog(objdb::DataContext &context, objdb::itfNotifyEvent *notify, bool convertCurrency)
{
    objdb::OpenOptions options;
    options.readOnly = true;
    options.notify = notify;
    options.convertCurrency = convertCurrency;
    auto log = context.Tables().Item(DeletionLog::kTable).OpenDataSource(QString(), QStringLiteral("Quando DESC"), options);
    objdb::ShowDataSource(log, QStringLiteral("sola lettura"));
}
