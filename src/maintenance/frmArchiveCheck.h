#pragma once
#include "maintenance/archivecheck.h"

#include <QDialog>

class QListWidget;
class QPushButton;
namespace objdb {
class DataContext;
}

// The findings of the archive check, to read and export; Ricalcola mends the movements' outstanding
// amounts when they differ from the payments.
class frmArchiveCheck : public QDialog {
    Q_OBJECT
public:
    // Checks the archive of `context`, which outlives the window.
    explicit frmArchiveCheck(objdb::DataContext &context, QWidget *parent = nullptr);

    // Checks the archive (with the message window) and shows the findings modally.
    static void ShowCheck(objdb::DataContext &context, QWidget *owner);

    // Checks the archive again and lists what it found.
    void runCheck();
    // Writes the findings to a text file, one a line; false when the file cannot be written (told).
    bool exportTo(const QString &path);

    QListWidget *lstResult;
    QPushButton *cmdRecalculate;
    QPushButton *cmdExport;
    QPushButton *cmdClose;

private:
    void cmdRecalculate_Click();
    void cmdExport_Click();

    objdb::DataContext &m_context;
};
