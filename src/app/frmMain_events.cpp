// Window-wide keys, the status message and the library's notifications.
#include "app/frmMain.h"

#include "grid/frmSearchText.h"

#include "services/administratoronly.h"
#include "services/messageservice.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgSplitter)
        return splitterMouseEvent(event);
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
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_R) {
        // Refused before its question is asked.
        if (RefuseNonAdministrator(this))
            return true;
        const QString question =
            QStringLiteral("ATTENZIONE! - Questa operazione converte la valuta e deve essere guidata da supporto "
                           "tecnico...\n\n")
            + QStringLiteral("Continuare ?\n\n");
        if (MessageService::askYesNo(question, MessageService::Icon::Exclamation, MessageService::Answer::No,
                                     QString(), this))
            emit currencyConversionRequested();
        return true;
    }
    if (held == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home)) {
        if (key == Qt::Key_Left)
            mnuSelPrevious_Click();
        else if (key == Qt::Key_Right)
            mnuSelNext_Click();
        else
            mnuSelToday_Click();
        return true;
    }
    if (held != Qt::NoModifier)
        return false;

    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Insert || (keypad && key == Qt::Key_Plus)) {
        mnuFileNew_Click();
        return true;
    }
    if (key == Qt::Key_Delete) {
        mnuFileDelete_Click();
        return true;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        bool numeric = false;
        const int index = toolbarAction(QStringLiteral("Find"))->property("tag").toString().toInt(&numeric);
        if (!numeric || index < 0 || index >= mnuSearchItems.size())
            return false;
        // The search dialog gets the typed character as its first input. Letters go upper-case,
        // keypad digits as plain digits.
        frmSearchText::TypeAhead(QString(QChar(key)).toUpper());
        mnuSearchItems[index]->trigger();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        mnuFileProperties_Click();
        return true;
    }
    return false;
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
