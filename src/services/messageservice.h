#pragma once
#include <QString>
#include <functional>

class QWidget;

// Every message box and question of the program goes through here, so that tests can answer
// them by script instead of seeing a modal window.
namespace MessageService {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Request {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
    QWidget *parent = nullptr;
};

// Shows the box (or hands it to the script) and returns the answer.
Answer ask(const Request &request);

// Shorthands. The title defaults to the common message title.
void inform(const QString &text, Icon icon = Icon::Information, const QString &title = QString(),
            QWidget *parent = nullptr);
bool askYesNo(const QString &text, Icon icon = Icon::Question, Answer defaultAnswer = Answer::Yes,
              const QString &title = QString(), QWidget *parent = nullptr);

// The system beep.
void beep();
// A command that does not apply where it was given only beeps: applies itself, after a beep when false.
bool appliesOrBeep(bool applies);

// The common message title of the program's boxes.
QString commonTitle();

// Test hooks: when a script is set, no box is shown; the script answers and sees every request.
using Script = std::function<Answer(const Request &)>;
void setScript(Script script);
void clearScript();
int beepCount();

} // namespace MessageService
