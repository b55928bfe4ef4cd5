#pragma once
// The drag of the main window's splitter: a bar follows the mouse over imgSplitter, and the release
// lays the window out at the bar's place.

#include <QObject>

class frmMain;

class SplitterDrag : public QObject {
public:
    // Watches the window's imgSplitter, which owns it.
    explicit SplitterDrag(frmMain &form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmMain &m_form;
    bool m_blnMoving = false;
};
