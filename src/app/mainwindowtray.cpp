#include "app/mainwindowtray.h"

#include "app/frmMain.h"
#include "desktop/clsOSTNA.h"

#include <QMenu>

clsOSTNA &MainWindowTray::icon(frmMain &form)
{
    if (form.m_objTNA)
        return *form.m_objTNA;
    form.m_objTNA = new clsOSTNA(&form);
    // The icon shows the menu itself on a right click: several desktops reach a tray menu only so.
    form.m_objTNA->trayIcon()->setContextMenu(form.mnuPopUp);
    QObject::connect(form.m_objTNA, &clsOSTNA::notification, &form, [&form](int code) {
        // A single click is all many desktops report; a double click starts with one.
        if ((clsOSTNA::IsLeftButton(code) || clsOSTNA::IsDoubleClick(code)) && (!form.isVisible() || form.isMinimized()))
            form.mnuActivate_Click();
    });
    return *form.m_objTNA;
}

bool MainWindowTray::canHide(const frmMain &form)
{
    return QSystemTrayIcon::isSystemTrayAvailable() && form.m_objTNA && form.m_objTNA->isStarted();
}
