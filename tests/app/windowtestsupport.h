#pragma once
// The program-wide state the main window reads at start (the stored settings and the open
// archive), and the window's controls found as the user knows them: by name.

#include "app/startup.h"
#include "services/modGlobal.h"
#include "services/session.h"
#include "testsupport.h"

#include <QMap>
#include <QSettings>
#include <QWidget>
#include <type_traits>

namespace WindowTest {

// Forgets the window placement and every other stored setting of the program.
inline void clearStoredSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"))
        .clear();
}

// Makes the archive the session's, with its files in folder, as after a successful opening.
inline void useArchive(const TestSupport::TempWorkDir &folder, const TestSupport::Archive &archive)
{
    modGlobal::RootDir = folder.path();
    modGlobal::AppSession().database = archive.database;
    modGlobal::AppSession().dataContext = archive.context;
}

// Lets go of the program's archive and closes it, context first.
inline void closeArchive(TestSupport::Archive &archive)
{
    modGlobal::AppSession().dataContext.reset();
    modGlobal::AppSession().database.reset();
    archive = {};
}

// The window's control, menu, item or timer with the given objectName. A window without one ends
// the run, naming what is missing.
template <class T>
T *widget(const QObject &form, const QString &name)
{
    T *found = form.findChild<T *>(name);
    if (!found)
        qFatal("The window has no %s named \"%s\"", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

// The items of a control or menu-item array ("mnuSearchItems_1", "mnuSearchItems_2", ...) in index
// order, without the hidden template item 0. A hidden control is on its way out and not counted.
template <class T>
QList<T *> items(const QObject &form, const QString &array)
{
    const QString prefix = array + QLatin1Char('_');
    QMap<int, T *> byIndex;
    for (T *item : form.findChildren<T *>()) {
        if (!item->objectName().startsWith(prefix))
            continue;
        bool numeric = false;
        const int index = item->objectName().mid(prefix.size()).toInt(&numeric);
        if (!numeric || index < 1)
            continue;
        if constexpr (std::is_base_of_v<QWidget, T>) {
            if (item->isHidden())
                continue;
        }
        byIndex.insert(index, item);
    }
    return byIndex.values();
}

} // namespace WindowTest
