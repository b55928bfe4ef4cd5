#pragma once
// Program-wide state, set by start-up and the configuration, read by every subsystem.

#include <QString>

namespace modGlobal {

extern QString RootDir;            // working directory; Cobrelle.mdb lies in it
extern qint32 DatabaseFormat;      // always 3

inline const char *kProductName = "Cobrelle";
inline const char *kDatabaseFileName = "Cobrelle.mdb";

} // namespace modGlobal
