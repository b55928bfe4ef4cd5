// Storage of the program-wide state; the values before start-up reads the configuration.
#include "services/modGlobal.h"

namespace modGlobal {

QString RootDir;
qint32 DatabaseFormat = 3;

} // namespace modGlobal
