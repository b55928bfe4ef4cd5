#pragma once
// The input box of a column filter: the text to filter the column by, and whether it is to be
// found inside the values (F2) rather than at their beginning. The box opens pre-filled with the
// last value when the same field was the last one used.

#include <QString>
#include <functional>

class QWidget;

namespace FilterPrompt {

struct Reply {
    QString text;          // "" when confirmed empty or left with Esc
    bool internal = false; // search inside the text
};

// The last field and value (the right-click menu sets them to pre-fill the box with a cell).
extern QString sLastName;
extern QString sLastValue;

// Shows the box, titled "Filtra", for the field; remembers the field and the confirmed text.
Reply ask(QWidget *parent, const QString &field);

// Test hook: when set, no box is shown; the script gets the field and the pre-filled text.
using Script = std::function<Reply(const QString &field, const QString &prefill)>;
void setScript(Script script);
void clearScript();

} // namespace FilterPrompt
