#pragma once
// The rows of a view as an HTML page opened in the user's browser.

#include "output/viewinfo.h"

#include <QString>
#include <QStringList>

namespace objdb {
class DataSource;
}

namespace output {

// Asks whether to choose the fields first, writes the page "TableData.htm" with the message window's
// progress and stop, and has the browser open it. A stopped or failed export leaves the previous
// page as it was and opens nothing; failures go to the common error report.
void ShowInBrowser(objdb::DataSource &ds, const QString &fieldList, const ViewInfo &view);

// The page's file in the first of the folders where a file can be created: the program's folder,
// else the per-user data folder (PageFolders()). Throws objdb::Error naming the file when none can.
QString BrowserPageFile(const QStringList &folders);
QStringList PageFolders();

} // namespace output
