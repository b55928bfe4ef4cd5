#pragma once
// Program-wide state, set by start-up and the configuration, read by every subsystem.

#include <QDateTime>
#include <QString>

namespace modGlobal {

extern QString RootDir;            // working directory; Cobrelle.mdb lies in it
extern bool UseDateSelection;      // views limited to the day SelectionDate
extern bool UseMonthSelection;     // views limited to the month of SelectionDate (never stored)
extern bool UsePeriodSelection;    // views limited to the days SelectionDate..SelectionPeriodEnd (never stored)
extern bool CurrencyConversion;    // amounts shown in the conversion currency
extern QDateTime SelectionDate;    // reference date of the date selection; a period's first day
extern QDate SelectionPeriodEnd;   // the last day of the period selection, included
extern QString PeriodCaption;      // period of "Mov. per Collaboratori", printed by the reports
extern qint32 DatabaseFormat;      // always 3

inline const char *kProductName = "Cobrelle";
inline const char *kDatabaseFileName = "Cobrelle.mdb";

} // namespace modGlobal
