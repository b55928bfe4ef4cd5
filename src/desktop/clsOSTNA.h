#pragma once
// The program's icon in the taskbar notification area.

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class clsOSTNA : public QObject {
    Q_OBJECT
public:
    // Mouse event codes reported for the icon.
    static constexpr int kLeftButtonDown = 0x201;
    static constexpr int kLeftDoubleClick = 0x203;
    static constexpr int kRightButtonDown = 0x204;
    static constexpr int kMiddleButtonDown = 0x207;
    // The tool tip of a notification icon holds at most this many characters.
    static constexpr int kMaxTipLength = 63;

    explicit clsOSTNA(QObject *parent = nullptr);
    ~clsOSTNA() override;

    // "Imposta l'Icona nella TNA": shows the icon (replacing a previous one); non-zero on success.
    qint16 IconStart(const QIcon &hIcon, const QString &sTip);
    // "Elimina l'icona dalla TNA"
    void IconStop();
    // "Modifica l'icona nella TNA"
    void ChangeIcon(const QIcon &hIcon);
    // "Modifica il ToolTip relativo all'icona nella TNA"
    void ChangeTip(const QString &sTip);

    static bool IsLeftButton(int code) { return code == kLeftButtonDown; }
    static bool IsRightButton(int code) { return code == kRightButtonDown; }
    static bool IsDoubleClick(int code) { return code == kLeftDoubleClick; }
    static int CodeForReason(QSystemTrayIcon::ActivationReason reason);

    bool isStarted() const { return m_started; }
    QSystemTrayIcon *trayIcon() { return &m_icon; }

signals:
    // A mouse event on the icon, as one of the codes above.
    void notification(int code);

private:
    static QString cutTip(const QString &tip) { return tip.left(kMaxTipLength); }

    QSystemTrayIcon m_icon{this};
    bool m_started = false;
};
