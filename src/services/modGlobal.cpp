// Storage of the program-wide state; the values before start-up reads the configuration.
#include "services/modGlobal.h"

#include "services/deskmark.h"

namespace modGlobal {

QString RootDir;
qint32 DatabaseFormat = 3;
QString OperatorName;

std::shared_ptr<objdb::Database> g_objDatabase;
std::shared_ptr<objdb::DataContext> g_objDataContext;
std::unique_ptr<DeskMark> g_objDeskMark;

} // namespace modGlobal
