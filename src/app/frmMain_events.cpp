// Window-wide keys, the status message and the library's notifications.
#include "app/frmMain.h"

#include "app/windowkeys.h"
#include "services/messageservice.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <utility>

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == static_cast<QObject *>(cmdDateSel) && event->type() == QEvent::MouseButtonRelease)
        m_intDateClickX = static_cast<QMouseEvent *>(event)->position().toPoint().x();
    // Keys reach the window before its controls; keys of other windows (dialogs) are theirs.
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (Form_KeyDown(key->key(), key->modifiers()))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMain::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return MainWindowKeyDown(*this, key, modifiers);
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // The window sees the keys first only while it is the active one.
    if (std::exchange(m_blnKeyFilterInstalled, isActiveWindow()) != isActiveWindow())
        isActiveWindow() ? qApp->installEventFilter(this) : qApp->removeEventFilter(this);
    if (isActiveWindow())
        Form_Activate();
}

void frmMain::OnEvent(int action, QObject *, const QString &detail)
{
    const QString text = objdb::Application::ActionText(action);
    SetStatusMsg(detail.isEmpty() ? text : text + QStringLiteral(" <") + detail + QStringLiteral(">..."));
}

void frmMain::OnInternalMessage(QObject *, const QString &detail)
{
    MessageService::inform(detail, MessageService::Icon::Exclamation, QString(), this);
}

void frmMain::OnQueryMessage(QObject *, int type, const QString &text, bool &cancel)
{
    using namespace MessageService;
    const Icon icon = type == 3 ? Icon::Exclamation : Icon::Question;
    cancel = ask({text, QString(), icon, Buttons::OkCancel, cancel ? Answer::Cancel : Answer::Ok, this}) != Answer::Ok;
}

void frmMain::OnReportRequest(QObject *source, int func, const QString &title, const QString &)
{
    PrintCurrentData(source, func, title);
}
