#pragma once
// The deletion log shown in the library's data window: read-only, the newest deletion first.

namespace objdb {
class DataContext;
class itfNotifyEvent;
}

void ShowDeletionLog(objdb::DataContext &context, objdb::itfNotifyEvent *notify, bool convertCurrency);
