#include "app/windowkeys.h"

#include "app/frmMain.h"
#include "grid/frmSearchText.h"
#include "services/administratoronly.h"
#include "services/messageservice.h"

#include <QAction>

namespace {

// Shift+Ctrl+Alt+R: refused before its question is asked; confirmed, the conversion is asked for.
void askCurrencyConversion(frmMain &form)
{
    if (RefuseNonAdministrator(form.m_objSession, &form))
        return;
    const QString question =
        QStringLiteral("ATTENZIONE! - Questa operazione converte la valuta e deve essere guidata da supporto "
                       "tecnico...\n\n")
        + QStringLiteral("Continuare ?\n\n");
    if (MessageService::askYesNo(question, MessageService::Icon::Exclamation, MessageService::Answer::No, QString(),
                                 &form))
        emit form.currencyConversionRequested();
}

} // namespace

bool MainWindowKeyDown(frmMain &form, int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_R) {
        askCurrencyConversion(form);
        return true;
    }
    if (held == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home)) {
        if (key == Qt::Key_Left)
            form.mnuSelPrevious_Click();
        else if (key == Qt::Key_Right)
            form.mnuSelNext_Click();
        else
            form.mnuSelToday_Click();
        return true;
    }
    if (held != Qt::NoModifier)
        return false;

    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Insert || (keypad && key == Qt::Key_Plus)) {
        form.mnuFileNew_Click();
        return true;
    }
    if (key == Qt::Key_Delete) {
        form.mnuFileDelete_Click();
        return true;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        bool numeric = false;
        const int index = form.toolbarAction(QStringLiteral("Find"))->property("tag").toString().toInt(&numeric);
        if (!numeric || index < 0 || index >= form.mnuSearchItems.size())
            return false;
        // The search dialog gets the typed character as its first input. Letters go upper-case,
        // keypad digits as plain digits.
        frmSearchText::TypeAhead(QString(QChar(key)).toUpper());
        form.mnuSearchItems[index]->trigger();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        form.mnuFileProperties_Click();
        return true;
    }
    return false;
}
