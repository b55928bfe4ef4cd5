// Storage of the program-wide state; the values before start-up reads the configuration.
#include "services/modGlobal.h"

namespace modGlobal {

QString RootDir;
bool UseDateSelection = true;
bool UseMonthSelection = false;
bool UsePeriodSelection = false;
bool CurrencyConversion = false;
QDateTime SelectionDate;
QDate SelectionPeriodEnd;
QString PeriodCaption;
qint32 DatabaseFormat = 3;

} // namespace modGlobal
