#pragma once
// The import of another archive's rows of one table into the open archive, in one transaction.

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace objdb {
class DataSource;
class itfNotifyEvent;
} // namespace objdb

// The file dialog that chooses the archive to import: its name, "" when cancelled.
QString ChooseArchiveToImport(QWidget *owner);
// Tests answer the file dialog here; an empty picker restores the dialog.
using ImportFilePicker = std::function<QString(QWidget *owner)>;
void setImportFilePicker(ImportFilePicker picker);

// Imports into the table of `target` (a data source of the open archive) the rows of the same
// table of the archive in `fileName`, with their families and references (objdb::RowCopy): asks,
// tells how many rows will be imported and skipped, and copies in one transaction that a refusal,
// a failure or a stop rolls back. Returns true when rows were imported and committed.
bool ImportArchive(const QString &fileName, const std::shared_ptr<objdb::DataSource> &target, QWidget *owner,
                   objdb::itfNotifyEvent *notify);

// The whole command on the table of the current view: warns that the import is a technician's work
// and asks to go on, chooses the archive and imports it. True when rows were imported.
bool ImportIntoView(const std::shared_ptr<objdb::DataSource> &target, QWidget *owner, objdb::itfNotifyEvent *notify);
