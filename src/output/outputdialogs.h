#pragma once
// The dialogs the output commands open: print, preview, file and field-sequence. Each is a
// replaceable function, so that tests drive the commands without a modal window.

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

namespace objdb {
class DataSource;
}

namespace output {

struct Dialogs {
    // The print dialog over the printer (printer, page range); true to print.
    std::function<bool(QPrinter &printer, QWidget *owner)> print;
    // The preview window over the printer; it calls paint whenever it needs the pages. paint returns
    // false when the pages could not be drawn (failed or stopped): the window then closes.
    std::function<void(QPrinter &printer, QWidget *owner, const std::function<bool(QPrinter *)> &paint)> preview;
    // The file to write, "" when cancelled. filters are offered in order; *chosenFilter (may be null)
    // receives the one chosen.
    std::function<QString(QWidget *owner, const QString &caption, const QString &proposed, const QStringList &filters,
                          QString *chosenFilter)>
        saveFile;
    // The field-sequence editor on the data source's fields; false when cancelled.
    std::function<bool(const objdb::DataSource &ds, const QString &title, QString &sequence, QWidget *owner)>
        editFieldSequence;
};

// The dialogs the commands use: Qt's and the library's unless a test replaced them.
Dialogs &dialogs();
// Puts Qt's and the library's dialogs back.
void restoreDialogs();

} // namespace output
