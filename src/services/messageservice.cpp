#include "services/messageservice.h"

#include <QApplication>
#include <QMessageBox>

namespace MessageService {

namespace {

Script &script()
{
    static Script s;
    return s;
}

int &beeps()
{
    static int n = 0;
    return n;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButtons toQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button, Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        // Closing the box counts as the safe answer.
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

} // namespace

Answer ask(const Request &request)
{
    Request r = request;
    if (r.title.isEmpty())
        r.title = commonTitle();
    if (script())
        return script()(r);
    QMessageBox box(toQt(r.icon), r.title, r.text, toQt(r.buttons), r.parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setDefaultButton(toQt(r.defaultAnswer));
    return fromQt(box.exec(), r.buttons);
}

void inform(const QString &text, Icon icon, const QString &title, QWidget *parent)
{
    ask({text, title, icon, Buttons::Ok, Answer::Ok, parent});
}

bool askYesNo(const QString &text, Icon icon, Answer defaultAnswer, const QString &title, QWidget *parent)
{
    return ask({text, title, icon, Buttons::YesNo, defaultAnswer, parent}) == Answer::Yes;
}

void beep()
{
    ++beeps();
    if (!script())
        QApplication::beep();
}

bool appliesOrBeep(bool applies)
{
    if (!applies)
        beep();
    return applies;
}

QString commonTitle()
{
    return QStringLiteral("Cobrelle");
}

void setScript(Script s)
{
    script() = std::move(s);
}

void clearScript()
{
    script() = nullptr;
}

int beepCount()
{
    return beeps();
}

} // namespace MessageService
