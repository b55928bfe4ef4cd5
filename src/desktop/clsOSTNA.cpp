#include "desktop/clsOSTNA.h"

clsOSTNA::clsOSTNA(QObject *parent) : QObject(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const int code = CodeForReason(reason);
                if (code)
                    emit notification(code);
            });
}

clsOSTNA::~clsOSTNA()
{
    IconStop();
}

int clsOSTNA::CodeForReason(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return kLeftButtonDown;
    case QSystemTrayIcon::DoubleClick: return kLeftDoubleClick;
    case QSystemTrayIcon::Context: return kRightButtonDown;
    case QSystemTrayIcon::MiddleClick: return kMiddleButtonDown;
    case QSystemTrayIcon::Unknown: break;
    }
    return 0;
}

qint16 clsOSTNA::IconStart(const QIcon &hIcon, const QString &sTip)
{
    // One icon per object: a second start replaces the first.
    if (m_started)
        IconStop();
    m_icon.setIcon(hIcon);
    m_icon.setToolTip(cutTip(sTip));
    m_icon.show();
    m_started = m_icon.isVisible();
    return m_started ? 1 : 0;
}

void clsOSTNA::IconStop()
{
    if (!m_started)
        return;
    m_icon.hide();
    m_started = false;
}

void clsOSTNA::ChangeIcon(const QIcon &hIcon)
{
    m_icon.setIcon(hIcon);
}

void clsOSTNA::ChangeTip(const QString &sTip)
{
    m_icon.setToolTip(cutTip(sTip));
}
