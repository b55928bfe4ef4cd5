#pragma once
// The window of the closing summary ("Chiusura giornata"): the figures of a day, a month or a
// period, printed or exported to PDF from here. An administrator may take another day.

#include "output/closingsummary.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace output {

class frmClosingSummary : public QDialog {
    Q_OBJECT
public:
    frmClosingSummary(std::shared_ptr<const objdb::Database> database, const QDate &from, const QDate &to,
                      bool anyDay, QWidget *owner);

    const ClosingSummary &summary() const { return m_summary; }
    // The report design of the summary shown, printed today.
    objdb::report::Design design() const;

    void cmdDay_Click();
    void cmdPrint_Click();
    void cmdExport_Click();

private:
    void load(const QDate &from, const QDate &to);

    std::shared_ptr<const objdb::Database> m_database;
    ClosingSummary m_summary;
    QLabel *lblPeriod = nullptr;
    QTreeWidget *lstSummary = nullptr;
    QPushButton *cmdDay = nullptr;
};

} // namespace output
