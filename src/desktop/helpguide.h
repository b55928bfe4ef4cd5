#pragma once
// The user guide (guida.html), opened in the user's browser. It is looked for beside the program,
// in the installed data folders, and in the source tree the program was built from.

#include <QString>
#include <QStringList>

class QWidget;

namespace HelpGuide {

// The places looked in, in order.
QStringList Candidates();
// The first of them that exists; "" when there is none.
QString Path();
// Opens the guide at a section ("" = the top) through the desktop; tells the user when the guide is
// missing or the browser cannot be started. False then.
bool Open(QWidget *owner, const QString &section = QString());

} // namespace HelpGuide
