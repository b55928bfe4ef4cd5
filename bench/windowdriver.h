#pragma once
// The main window driven as its user drives it, for the stall benchmarks: the payments section
// opened by a click on its node, headers clicked, keys typed, menu items triggered; the window's
// own work waited for, and the modal windows it opens answered by script after their first paint.

#include "heartbeat.h"
#include "views/viewquery.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>

class frmMain;
class QAction;
class QTableView;
class QTimer;
class QTreeWidgetItem;
class QWidget;

namespace objdb {
class GridModel;
}

struct StallSample {
    double stallMs = 0;  // the longest time the window's thread did not answer
    double answerMs = 0; // from the trigger (or the confirmation in a modal window) to the answer on screen
};

class WindowDriver {
public:
    // Answers a modal window of the interaction under way; false for a window it does not expect
    // (the driver then closes it with a warning). Called again on later ticks while it stays open.
    using ModalAnswer = std::function<bool(WindowDriver &, QWidget *)>;

    explicit WindowDriver(frmMain &form);

    frmMain &form() const { return m_form; }
    QTableView *grid() const { return m_grid; }
    objdb::GridModel *model() const;
    // The window's action, menu item or timer with that objectName; a warning and null when missing.
    QAction *action(const QString &name) const;
    QTimer *timer(const QString &name) const;
    // The item of a field-menu array ("mnuTotalItems") for the field.
    QAction *fieldItem(const QString &array, const QString &field) const;

    // A left click in the middle of the header of the field's column.
    void clickHeader(const QString &field);
    // A key pressed and released in the grid.
    void typeKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The payments section shown with a date selection (on the reference day): the selection set as
    // the date menu sets it, then a click on the section's node.
    void showPayments(DateSelection selection);
    void clickPaymentsNode();
    // A click on the grouping node above the payments: the window lets the view go.
    void leavePayments();
    // The grid's current cell: first row, the field's column.
    void setCurrentCell(const QString &field);

    void setModalAnswer(ModalAnswer answer) { m_answer = std::move(answer); }
    // For modal answers: the user's last input of the interaction is now (the answer is timed from
    // here); the answer is on screen now.
    void confirmed() { m_confirmedNs = m_clock.nsecsElapsed(); }
    void answered();
    bool isAnswered() const { return m_answeredNs >= 0; }

    // One run: the trigger, then the window's work waited for until it is no longer busy and
    // `shown` holds (when given), then the grid painted.
    StallSample measure(const std::function<void()> &trigger, const std::function<bool()> &shown);
    // Waits for the window's work, makes it the active window again and paints the grid.
    void settle();

private:
    // Work still under way: the busy mark of the status bar, a deferred command or the totals band
    // pending, a modal or waiting window open.
    bool busy() const;
    void waitWhileBusy(const std::function<bool()> &shown);
    // A heartbeat tick: an open modal window is answered on the next turn of its event loop, out of
    // the tick, so that a window the answer opens gets ticks of its own.
    void answerOpenModal();
    QTreeWidgetItem *paymentsNode() const;
    void clickNode(QTreeWidgetItem *node);

    frmMain &m_form;
    QTableView *m_grid;
    Heartbeat m_heartbeat;
    ModalAnswer m_answer;
    bool m_answerQueued = false;
    QElapsedTimer m_clock;
    qint64 m_confirmedNs = 0;
    qint64 m_answeredNs = -1;
};
