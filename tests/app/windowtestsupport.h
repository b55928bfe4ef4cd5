#pragma once
// The program-wide state the main window reads at start: the stored settings and the open archive.

#include "services/modGlobal.h"
#include "testsupport.h"

#include <QSettings>

namespace WindowTest {

// Forgets the window placement and every other stored setting of the program.
inline void clearStoredSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"))
        .clear();
}

// Makes the archive the program's own, with its files in folder, as after a successful opening.
inline void useArchive(const TestSupport::TempWorkDir &folder, const TestSupport::Archive &archive)
{
    modGlobal::RootDir = folder.path();
    modGlobal::g_objDatabase = archive.database;
    modGlobal::g_objDataContext = archive.context;
}

// Lets go of the program's archive and closes it, context first.
inline void closeArchive(TestSupport::Archive &archive)
{
    modGlobal::g_objDataContext.reset();
    modGlobal::g_objDatabase.reset();
    archive = {};
}

} // namespace WindowTest
