// Window-wide keys, the status message and the library's notifications.
#include "app/frmMain.h"

#include "app/windowkeys.h"
#include "services/messageservice.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

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
    if (isActiveWindow() && !m_blnKeyFilterInstalled) {
        qApp->installEventFilter(this);
        m_blnKeyFilterInstalled = true;
    } else if (!isActiveWindow() && m_blnKeyFilterInstalled) {
        qApp->removeEventFilter(this);
        m_blnKeyFilterInstalled = false;
    }
    if (isActiveWindow())
        Form_Activate();
}

void frmMain::OnEvent(int action, QObject *source, const QString &detail)
{
    Q_UNUSED(source);
    QString message = objdb::Application::ActionText(action);
    if (!detail.isEmpty())
        message += QStringLiteral(" <") + detail + QStringLiteral(">...");
    SetStatusMsg(message);
}

void frmMain::OnInternalMessage(QObject *source, const QString &detail)
{
    Q_UNUSED(source);
    MessageService::inform(detail, MessageService::Icon::Exclamation, QString(), this);
}

void frmMain::OnQueryMessage(QObject *source, int type, const QString &text, bool &cancel)
{
    Q_UNUSED(source);
    MessageService::Request request;
    request.text = text;
    request.icon = type == 3 ? MessageService::Icon::Exclamation : MessageService::Icon::Question;
    request.buttons = MessageService::Buttons::OkCancel;
    request.defaultAnswer = cancel ? MessageService::Answer::Cancel : MessageService::Answer::Ok;
    request.parent = this;
    cancel = MessageService::ask(request) != MessageService::Answer::Ok;
}

void frmMain::OnReportRequest(QObject *source, int func, const QString &title, const QString &details)
{
    Q_UNUSED(details);
    PrintCurrentData(source, func, title);
}
