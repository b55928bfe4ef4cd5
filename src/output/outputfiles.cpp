#include "output/outputfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace output {

QString ProposedFile(const QString &title, const QString &extension)
{
    QString name = title.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("Dati");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(name + QLatin1Char('.') + extension);
}

QString WithExtension(const QString &path, const QStringList &accepted)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const QString &extension : accepted)
        if (suffix.compare(extension, Qt::CaseInsensitive) == 0)
            return path;
    return path + QLatin1Char('.') + accepted.value(0);
}

} // namespace output
