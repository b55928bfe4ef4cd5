#pragma once
// Program-wide state, set by start-up and the configuration, read by every subsystem.

#include <QString>
#include <memory>

class DeskMark;
namespace objdb {
class Database;
class DataContext;
}

namespace modGlobal {

extern QString RootDir;            // working directory; Cobrelle.mdb lies in it
extern qint32 DatabaseFormat;      // always 3
extern QString OperatorName;       // the operator logged in; the deletion log records it

extern std::shared_ptr<objdb::Database> g_objDatabase;
extern std::shared_ptr<objdb::DataContext> g_objDataContext;
extern std::unique_ptr<DeskMark> g_objDeskMark; // this desk's use of the open archive

inline const char *kProductName = "Cobrelle";
inline const char *kDatabaseFileName = "Cobrelle.mdb";

} // namespace modGlobal
