#pragma once
// The program's single waiting window: a message over an owner window, optionally a progress bar
// with a counter and a stop button. It is also the progress sink of long library operations.
//
// Use: ShowMsg (makes it visible over its owner), StartProgress, Progress..., EndProgress, then
// close it (frmMessage::closeInstance()). While it is shown its owner is disabled; closing gives
// the owner back its former enabled state. The instance lives until the process ends, so a
// progress reference held by the library never dangles; closing "unloads" it and the next
// ShowMsg or StartProgress starts from a fresh state.

#include "objdb/notify.h"

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QPointer>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class frmMessage : public QDialog, public objdb::itfProgress {
    Q_OBJECT

public:
    // The one window, created on first use.
    static frmMessage *instance();
    // Closes the window when it exists (never creates it).
    static void closeInstance();

    void ShowMsg(const QString &sMsg, QWidget *frmParent, qint32 p_lngTop = -1, qint32 p_lngLeft = -1);
    void StartProgress(qint32 p_nTotal, bool p_blnEnableStop = false);
    bool Progress(qint32 p_nCount, bool p_blnNoCount = false);
    void EndProgress();
    qint32 MaxProgress() const;
    bool Stopped() const { return m_blnStopped; }

    // The frame of the hourglass animation now shown (1-based).
    int hourglassFrame() const { return m_intFrame; }

    // objdb::itfProgress: a library operation may always be stopped.
    void OnStart(int action, int total) override;
    bool OnProgress(int action, int total, int count, QObject *source, QObject *destination) override;
    void OnEnd(int action, int total) override;
    bool OnStopped() override;

    QLabel *lblMessage = nullptr;
    QLabel *imgHourglass = nullptr;
    QTimer *tmHourglass = nullptr;
    QProgressBar *pbNotify = nullptr;
    QFrame *shpNotify = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *cmdStop = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    explicit frmMessage(QWidget *parent = nullptr);

    void load();
    void cmdStop_Click();
    void tmHourglass_Timer();
    void takeOwner(QWidget *owner);
    void releaseOwner();
    void disableOwner();
    bool showOverOwner();

    QList<QPixmap> imgMsg;
    QPointer<QWidget> m_frmOwner;
    bool m_blnOwnerEnabled = true;
    bool m_blnStopped = false;
    bool m_blnLoaded = false;
    qint16 m_intFrame = 1;
};
