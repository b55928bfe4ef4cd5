#include "services/busymark.h"

#include "services/frmMessage.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

BusyMark::BusyMark(QStatusBar *bar)
    : QObject(bar), m_label(new QLabel(QStringLiteral("Lettura in corso..."), bar)), m_late(new QTimer(this)),
      m_watch(new QTimer(this))
{
    m_label->setObjectName(QStringLiteral("sbStatusBar_Busy"));
    m_label->hide();
    bar->addPermanentWidget(m_label);
    m_late->setSingleShot(true);
    m_late->setInterval(kWaitingWindowMs);
    connect(m_late, &QTimer::timeout, this, &BusyMark::showWaitingWindow);
    m_watch->setInterval(100);
    connect(m_watch, &QTimer::timeout, this, &BusyMark::watchStop);
}

void BusyMark::set(const QString &work, bool busy, bool waitedFor)
{
    const bool waitedBefore = this->waitedFor();
    if (busy)
        m_works.insert(work, waitedFor);
    else
        m_works.remove(work);
    m_label->setVisible(this->busy());
    if (waitedBefore == this->waitedFor())
        return;
    if (this->waitedFor()) {
        m_late->start();
    } else {
        m_late->stop();
        closeWaitingWindow();
    }
}

bool BusyMark::waitedFor() const
{
    return std::any_of(m_works.cbegin(), m_works.cend(), [](bool waited) { return waited; });
}

void BusyMark::showWaitingWindow()
{
    frmMessage *window = frmMessage::instance();
    // The waiting window may already serve a command of its own: it is left to it.
    if (window->isVisible())
        return;
    window->ShowMsg(QStringLiteral("Lettura dell'archivio in corso..."), m_label->window());
    window->StartProgress(0, true);
    m_windowShown = true;
    m_watch->start();
}

void BusyMark::watchStop()
{
    if (!m_windowShown || !frmMessage::instance()->Stopped())
        return;
    closeWaitingWindow();
    emit stopRequested();
}

void BusyMark::closeWaitingWindow()
{
    m_watch->stop();
    if (!m_windowShown)
        return;
    m_windowShown = false;
    frmMessage::instance()->EndProgress();
    frmMessage::closeInstance();
}
