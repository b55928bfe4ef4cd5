#pragma once
// The window of the closing summary ("Chiusura giornata"): the figures of a day, a month or a
// period, printed or exported to PDF from here. An administrator may take another day. The figures
// are read on a thread of their own (a big archive takes a while); meanwhile the window says so and
// offers nothing to print.

#include "output/closingsummary.h"

#include <QDialog>
#include <memory>

namespace objdb {
class BackgroundRead;
}

class QLabel;
class QPushButton;
class QTreeWidget;

namespace output {

class frmClosingSummary : public QDialog {
    Q_OBJECT
public:
    frmClosingSummary(std::shared_ptr<objdb::Database> database, const QDate &from, const QDate &to,
                      bool anyDay, QWidget *owner);
    ~frmClosingSummary() override;

    // The figures shown; empty while they are being read.
    const ClosingSummary &summary() const { return m_summary; }
    // The report design of the summary shown, printed today.
    objdb::report::Design design() const;

    void cmdDay_Click();
    void cmdPrint_Click();
    void cmdExport_Click();

private:
    void load(const QDate &from, const QDate &to);
    void showSummary(const ClosingSummary &summary);
    void showLines(const QList<objdb::report::SummarySection> &sections);

    std::shared_ptr<objdb::Database> m_database;
    std::unique_ptr<objdb::BackgroundRead> m_read;
    QDate m_from, m_to;
    ClosingSummary m_summary;
    QLabel *lblPeriod = nullptr;
    QTreeWidget *lstSummary = nullptr;
    QPushButton *cmdDay = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdExport = nullptr;
};

} // namespace output
