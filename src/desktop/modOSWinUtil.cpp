#include "desktop/modOSWinUtil.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace modOSWinUtil {

namespace {

UrlOpener &urlOpener()
{
    static UrlOpener opener;
    return opener;
}

int attributesOf(const QFileInfo &info)
{
    int attributes = 0;
    if (info.isDir())
        attributes |= Directory;
    if (info.isFile())
        attributes |= Archive;
    if (!info.isWritable())
        attributes |= ReadOnly;
    if (info.isHidden())
        attributes |= Hidden;
    return attributes;
}

// A scheme needs two letters at least, so that "C:\dir" stays a local path.
bool hasUrlScheme(const QString &document)
{
    const QUrl url(document, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1;
}

QUrl documentUrl(const QString &document, const QString &folder)
{
    if (hasUrlScheme(document))
        return QUrl(document, QUrl::TolerantMode);
    QString path = document;
    if (QFileInfo(path).isRelative() && !folder.isEmpty())
        path = QDir(folder).absoluteFilePath(path);
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool FileExists(const QString &path, int attributeMask)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    return attributeMask == 0 || (attributesOf(info) & attributeMask) != 0;
}

bool ShellOpenDocument(const QString &document, const QString &verb, const QString &parameters,
                       const QString &folder, bool minimised)
{
    Q_UNUSED(minimised)
    if (document.trimmed().isEmpty())
        return false;
    // Anything but a plain "open" would need a command line, which is never built from data.
    if (!verb.isEmpty() && verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    if (!parameters.isEmpty())
        return false;
    const QUrl url = documentUrl(document, folder);
    if (!url.isValid())
        return false;
    if (urlOpener())
        return urlOpener()(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

void CloseOtherWindows(const QWidget &main)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *window = *it;
        if (window != &main && window->isWindow() && !qobject_cast<QMenu *>(window) && window->isVisible())
            window->close();
    }
}

} // namespace modOSWinUtil
