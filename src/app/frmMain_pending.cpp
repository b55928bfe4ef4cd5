// Temporary definitions of the window's data commands until their own files arrive.
// Each records its call in the window's "pendingCalls" property.
#include "app/frmMain.h"

#include "services/modGlobal.h"

namespace {
void record(frmMain *form, const char *name)
{
    QStringList calls = form->property("pendingCalls").toStringList();
    calls.append(QLatin1String(name));
    form->setProperty("pendingCalls", calls);
}
} // namespace

void frmMain::PrintCurrentData(QObject *, int, const QString &) { record(this, "PrintCurrentData"); }
