// Included by the test files that need it (one definition per test binary).
#include "standins.h"

#include "core/configuration.h"
#include "core/modGlobal.h"

namespace modGlobal {
QString RootDir;
bool UseDateSelection = true;
bool UseMonthSelection = false;
bool CurrencyConversion = false;
QDateTime SelectionDate;
QString PeriodCaption;
qint32 DatabaseFormat = 3;
std::shared_ptr<objdb::Database> g_objDatabase;
std::shared_ptr<objdb::DataContext> g_objDataContext;
frmMain *g_frmMain = nullptr;

void InitDatabase()
{
    ++StandIn::initDatabaseCalls();
    if (StandIn::initDatabaseSucceeds())
        StandIn::setDatabaseOpen(true);
}

bool IsDatabaseReady()
{
    return g_objDatabase && g_objDataContext;
}
} // namespace modGlobal

void ReadConfiguration() {}

namespace Settings {
double readNumber(const QString &key, double defaultValue)
{
    return StandIn::settings().value(key, defaultValue);
}
void writeNumber(const QString &key, double value)
{
    StandIn::settings().insert(key, value);
}
} // namespace Settings

namespace StandIn {
QMap<QString, double> &settings()
{
    static QMap<QString, double> store;
    return store;
}
int &initDatabaseCalls()
{
    static int calls = 0;
    return calls;
}
bool &initDatabaseSucceeds()
{
    static bool succeeds = true;
    return succeeds;
}
void setDatabaseOpen(bool open)
{
    // The library's objects are opaque here: non-null handles that own nothing.
    static char databaseToken, contextToken;
    if (open) {
        modGlobal::g_objDatabase = std::shared_ptr<objdb::Database>(
            std::shared_ptr<void>(), reinterpret_cast<objdb::Database *>(&databaseToken));
        modGlobal::g_objDataContext = std::shared_ptr<objdb::DataContext>(
            std::shared_ptr<void>(), reinterpret_cast<objdb::DataContext *>(&contextToken));
    } else {
        modGlobal::g_objDatabase.reset();
        modGlobal::g_objDataContext.reset();
    }
}
} // namespace StandIn
