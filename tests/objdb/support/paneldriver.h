#pragma once
// Driving an editing panel as its user does: the inputs by field name, text typed and finished
// as leaving the input finishes it, the parent chosen from the list, and the modal windows the
// panel opens.

#include "objdb/panel/editpaneldialog.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace PanelDriver {

// The input of one of the row's own fields; the test stops when the panel has none.
QLineEdit *edit(QWidget &panel, const QString &field);
// The text a child's panel shows of its parent's field.
QString shownParent(QWidget &panel, const QString &field);
// Types text over what the input shows and finishes it as leaving it does (Return would also
// store the row).
void type(QLineEdit *input, const QString &text);

// What the parent chooser listed.
struct ChooserList {
    int rows = -1;
    QStringList headers;
};
// Opens the panel's parent chooser with its button and picks the row whose first column shows
// `firstColumn`.
ChooserList chooseParent(objdb::EditPanelDialog &panel, const QString &firstColumn);

// Runs `action` on the first visible top-level widget of type W named `name` once it appears (a
// modal dialog's loop is running by then); a watchdog closes it if the action left it open.
template <class W>
void whenShown(const QString &name, std::function<void(W *)> action, int triesLeft = 200)
{
    QTimer::singleShot(10, [=] {
        W *found = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<W *>(w); candidate && candidate->isVisible() && w->objectName() == name)
                found = candidate;
        }
        if (!found) {
            if (triesLeft > 0)
                whenShown<W>(name, action, triesLeft - 1);
            return;
        }
        action(found);
        QPointer<W> guard(found);
        QTimer::singleShot(5000, [guard] {
            if (guard && guard->isVisible())
                guard->done(QDialog::Rejected);
        });
    });
}

} // namespace PanelDriver
