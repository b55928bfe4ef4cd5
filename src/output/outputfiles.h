#pragma once
// Files the output commands write: where they are proposed and how their failures read.

#include <QString>
#include <QStringList>

namespace output {

// A file in the user's documents folder named after a title ("Mov. per Collaboratori.pdf"), with the
// characters no file name may hold replaced.
QString ProposedFile(const QString &title, const QString &extension);
// The path with the extension added when it has none of the accepted ones (compared ignoring case).
QString WithExtension(const QString &path, const QStringList &accepted);

} // namespace output
