#pragma once
// Program-wide state and the start-up entry point.

#include <QDateTime>
#include <QString>
#include <memory>

namespace objdb {
class Database;
class DataContext;
}
class frmMain;

namespace modGlobal {

extern QString RootDir;            // working directory; Cobrelle.mdb lies in it
extern bool UseDateSelection;      // views limited to the day SelectionDate
extern bool UseMonthSelection;     // views limited to the month of SelectionDate (never stored)
extern bool CurrencyConversion;    // amounts shown in the conversion currency
extern QDateTime SelectionDate;    // reference date of the date selection
extern QString PeriodCaption;      // period of "Mov. per Collaboratori", printed by the reports
extern qint32 DatabaseFormat;      // always 3

extern std::shared_ptr<objdb::Database> g_objDatabase;
extern std::shared_ptr<objdb::DataContext> g_objDataContext;

// The one main window, set while it exists.
extern frmMain *g_frmMain;

inline const char *kProductName = "Cobrelle";
inline const char *kDatabaseFileName = "Cobrelle.mdb";

// Process entry: single-instance test, splash, configuration, main window.
int Main(int argc, char **argv);

// Creates or opens Cobrelle.mdb in RootDir. False when the user gave up choosing a working
// directory or the archive could not be opened (the user has been told); the objects stay empty.
bool InitDatabase();
// True when both library objects exist and the data context is ready (state 5).
bool IsDatabaseReady();

} // namespace modGlobal
