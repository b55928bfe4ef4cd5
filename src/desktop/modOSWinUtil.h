#pragma once
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace modOSWinUtil {

// Attribute bits understood by FileExists, as the program's callers know them.
enum FileAttribute : int {
    ReadOnly = 1,
    Hidden = 2,
    Directory = 16,
    Archive = 32, // a regular file
};

// True when path names an existing file or folder and, for a mask other than 0, when at
// least one of the mask's attribute bits applies to it. Never fails: unreachable is false.
bool FileExists(const QString &path, int attributeMask = 0);

// Opens a document (a local path, relative ones taken from folder) or an address with a scheme
// such as "mailto:" or "http:" in the user's default program. Only the verb "open" (or none)
// and no parameters are supported, since no command line is ever built from these texts. The
// desktop chooses the window state, so minimised has no effect. Returns true when the desktop
// accepted the request.
bool ShellOpenDocument(const QString &document, const QString &verb = QStringLiteral("open"),
                       const QString &parameters = QString(), const QString &folder = QString(),
                       bool minimised = false);

// The function that hands a URL to the desktop; tests replace it. An empty function restores
// QDesktopServices::openUrl.
using UrlOpener = std::function<bool(const QUrl &)>;
void setUrlOpener(UrlOpener opener);

// Closes every visible top-level window of the program but main, most recently opened first.
void CloseOtherWindows(const QWidget &main);

} // namespace modOSWinUtil
