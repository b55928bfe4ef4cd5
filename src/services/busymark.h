#pragma once
// The mark in the status bar while work of the window runs on a thread of its own (a sort, a
// total), so that the window answers and says it is not done yet. Work the user waits for brings
// the waiting window up after a second, with its stop button; work behind what is shown (the keys
// that put the current row back) only marks. Works are named, so that several may overlap.

#include <QHash>
#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;
class QTimer;

class BusyMark : public QObject {
    Q_OBJECT
public:
    static constexpr int kWaitingWindowMs = 1000;

    // Adds its label (objectName "sbStatusBar_Busy", hidden while idle) to the status bar.
    explicit BusyMark(QStatusBar *bar);

    // waitedFor: the user waits for the work's result (the waiting window may come up for it).
    void set(const QString &work, bool busy, bool waitedFor = true);
    bool busy() const { return !m_works.isEmpty(); }

signals:
    // The user pressed the waiting window's stop button: every work in progress should end.
    void stopRequested();

private:
    void showWaitingWindow();
    void watchStop();
    void closeWaitingWindow();

    bool waitedFor() const;

    QHash<QString, bool> m_works; // each work in progress, and whether the user waits for it
    QLabel *m_label;
    QTimer *m_late;   // brings the waiting window up when the work lasts
    QTimer *m_watch;  // looks at its stop button meanwhile
    bool m_windowShown = false;
};
