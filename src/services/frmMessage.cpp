#include "services/frmMessage.h"

#include "services/messageservice.h"
#include "services/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QPointer<frmMessage> &theInstance()
{
    static QPointer<frmMessage> window;
    return window;
}

// One hourglass picture: sandLeft is the share of sand still in the upper bulb; turned pictures
// show the glass lying on its side while it is being flipped.
QPixmap drawHourglass(double sandLeft, bool turned)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (turned) {
        painter.translate(16, 16);
        painter.rotate(90);
        painter.translate(-16, -16);
    }
    QPainterPath upper;
    upper.addPolygon(QPolygonF({QPointF(8, 5), QPointF(24, 5), QPointF(16, 16)}));
    upper.closeSubpath();
    QPainterPath lower;
    lower.addPolygon(QPolygonF({QPointF(16, 16), QPointF(24, 27), QPointF(8, 27)}));
    lower.closeSubpath();

    const QColor sand(214, 170, 60);
    const double upperSand = 11.0 * sandLeft;
    const double lowerSand = 11.0 * (1.0 - sandLeft);
    QPainterPath upperFill;
    upperFill.addRect(QRectF(0, 16 - upperSand, 32, upperSand));
    QPainterPath lowerFill;
    lowerFill.addRect(QRectF(0, 27 - lowerSand, 32, lowerSand));
    painter.fillPath(upper.intersected(upperFill), sand);
    painter.fillPath(lower.intersected(lowerFill), sand);
    if (sandLeft > 0.0 && sandLeft < 1.0)
        painter.fillRect(QRectF(15.5, 16, 1, 11 - lowerSand), sand);

    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawPath(upper);
    painter.drawPath(lower);
    painter.setPen(QPen(QColor(110, 70, 30), 2.5));
    painter.drawLine(QPointF(6, 4), QPointF(26, 4));
    painter.drawLine(QPointF(6, 28), QPointF(26, 28));
    return pixmap;
}

} // namespace

frmMessage *frmMessage::instance()
{
    QPointer<frmMessage> &window = theInstance();
    if (!window)
        window = new frmMessage;
    return window;
}

void frmMessage::closeInstance()
{
    if (frmMessage *window = theInstance())
        window->close();
}

frmMessage::frmMessage(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(MessageService::commonTitle());
    setModal(false);

    imgMsg = {drawHourglass(1.0, false), drawHourglass(0.66, false), drawHourglass(0.33, false),
              drawHourglass(0.0, false), drawHourglass(0.0, true)};

    imgHourglass = new QLabel(this);
    imgHourglass->setObjectName(QStringLiteral("imgHourglass"));
    imgHourglass->setFixedSize(32, 32);
    imgHourglass->setPixmap(imgMsg.first());

    lblMessage = new QLabel(QStringLiteral("Attendere..."), this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setMinimumWidth(260);

    shpNotify = new QFrame(this);
    shpNotify->setObjectName(QStringLiteral("shpNotify"));
    shpNotify->setFrameShape(QFrame::Box);
    pbNotify = new QProgressBar(shpNotify);
    pbNotify->setObjectName(QStringLiteral("pbNotify"));
    pbNotify->setTextVisible(false);
    auto *frameLayout = new QVBoxLayout(shpNotify);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(pbNotify);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setAlignment(Qt::AlignCenter);

    cmdStop = new QPushButton(QStringLiteral("&Interrompi"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setToolTip(QStringLiteral("Interrompe l'esecuzione"));
    cmdStop->setAutoDefault(false);
    connect(cmdStop, &QPushButton::clicked, this, &frmMessage::cmdStop_Click);

    auto *layout = new QGridLayout(this);
    layout->addWidget(imgHourglass, 0, 0, Qt::AlignTop);
    layout->addWidget(lblMessage, 0, 1);
    layout->addWidget(cmdStop, 0, 2, Qt::AlignTop);
    layout->addWidget(shpNotify, 1, 1);
    layout->addWidget(lblCount, 2, 1);
    layout->setColumnStretch(1, 1);

    tmHourglass = new QTimer(this);
    tmHourglass->setObjectName(QStringLiteral("tmHourglass"));
    tmHourglass->setInterval(200);
    connect(tmHourglass, &QTimer::timeout, this, &frmMessage::tmHourglass_Timer);

    load();
}

void frmMessage::load()
{
    pbNotify->hide();
    shpNotify->hide();
    cmdStop->hide();
    m_blnStopped = false;
    tmHourglass->start();
    lblCount->clear();
    lblMessage->setText(QStringLiteral("Attendere..."));
    m_blnLoaded = true;
}

void frmMessage::ShowMsg(const QString &sMsg, QWidget *frmParent, qint32 p_lngTop, qint32 p_lngLeft)
{
    if (!m_blnLoaded)
        load();
    QWidget *owner = frmParent ? frmParent->window() : nullptr;
    if (owner != m_frmOwner.data()) {
        releaseOwner();
        takeOwner(owner);
    }
    lblMessage->setText(sMsg);
    if (!isVisible()) {
        if (m_frmOwner)
            m_frmOwner->repaint();
        if (!showOverOwner()) {
            if (m_frmOwner)
                m_frmOwner->setEnabled(true);
            m_frmOwner = nullptr;
            return;
        }
        if (p_lngTop != -1)
            move(x(), Twips::toPixelsY(p_lngTop, this));
        if (p_lngLeft != -1)
            move(Twips::toPixelsX(p_lngLeft, this), y());
        if (!pbNotify->isHidden() && pbNotify->maximum() <= pbNotify->value())
            EndProgress();
    }
    repaint();
}

bool frmMessage::showOverOwner()
{
    // A modeless window cannot work while another window is modal (it would be blocked, stop
    // button included), unless that modal window is the owner itself.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != this && modal != m_frmOwner.data())
        return false;

    adjustSize();
    const QRect area = m_frmOwner ? m_frmOwner->frameGeometry()
                                  : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    if (m_frmOwner && windowHandle())
        windowHandle()->setTransientParent(m_frmOwner->windowHandle());
    disableOwner();
    return true;
}

void frmMessage::takeOwner(QWidget *owner)
{
    if (owner == this)
        owner = nullptr; // the window never owns itself
    m_frmOwner = owner;
    if (owner)
        m_blnOwnerEnabled = owner->isEnabled();
    if (owner && isVisible()) {
        if (windowHandle())
            windowHandle()->setTransientParent(owner->windowHandle());
        disableOwner(); // a new owner of a shown window is locked at once
    }
}

void frmMessage::releaseOwner()
{
    if (QWidget *owner = m_frmOwner.data()) {
        owner->setEnabled(m_blnOwnerEnabled);
        if (owner->isEnabled() && owner->isVisible()) {
            // Give the focus back to the owner, then to the visible windows it opened, so that
            // the last of them ends up in front as before.
            owner->activateWindow();
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget *w : windows) {
                if (w != this && w->isVisible() && w->parentWidget() && w->parentWidget()->window() == owner)
                    w->activateWindow();
            }
        }
    }
    m_frmOwner = nullptr;
}

void frmMessage::disableOwner()
{
    if (m_frmOwner) {
        m_frmOwner->setEnabled(false);
        m_frmOwner->repaint();
    }
}

void frmMessage::StartProgress(qint32 p_nTotal, bool p_blnEnableStop)
{
    if (!m_blnLoaded)
        load();
    pbNotify->setRange(0, p_nTotal > 0 ? p_nTotal : 1);
    pbNotify->setValue(0);
    pbNotify->show();
    shpNotify->show();
    cmdStop->setVisible(p_blnEnableStop);
    m_blnStopped = false;
    lblCount->clear();
}

bool frmMessage::Progress(qint32 p_nCount, bool p_blnNoCount)
{
    if (p_blnNoCount) {
        if (cmdStop->isHidden())
            cmdStop->show();
    } else {
        const int maximum = pbNotify->maximum();
        if (p_nCount != 0) {
            if (p_nCount <= maximum)
                pbNotify->setValue(p_nCount);
        } else if (pbNotify->value() < maximum) {
            pbNotify->setValue(pbNotify->value() + 1); // a count of 0 is one more step
        }
        const int value = pbNotify->value();
        if (maximum > 9999)
            lblCount->setText(QString::number(qRound(100.0 * value / maximum)) + QStringLiteral(" %"));
        else
            lblCount->setText(QString::number(value) + QStringLiteral(" / ") + QString::number(maximum));
    }
    // The stop button, Esc, repaints and the animation are served here.
    QCoreApplication::processEvents();
    return !m_blnStopped;
}

void frmMessage::EndProgress()
{
    pbNotify->hide();
    shpNotify->hide();
    cmdStop->hide();
}

qint32 frmMessage::MaxProgress() const
{
    return pbNotify->isHidden() ? 0 : pbNotify->maximum();
}

void frmMessage::OnStart(int /*action*/, int total)
{
    StartProgress(total, true);
}

bool frmMessage::OnProgress(int /*action*/, int /*total*/, int count, QObject * /*source*/,
                            QObject * /*destination*/)
{
    return Progress(count);
}

void frmMessage::OnEnd(int /*action*/, int /*total*/)
{
    EndProgress();
}

bool frmMessage::OnStopped()
{
    return m_blnStopped;
}

void frmMessage::cmdStop_Click()
{
    if (!MessageService::askYesNo(QStringLiteral("Confermi l'interruzione ?"), MessageService::Icon::Question,
                                  MessageService::Answer::Yes, QString(), this))
        return;
    if (m_blnStopped)
        close(); // stopped before and still running: give up waiting
    else
        m_blnStopped = true;
}

void frmMessage::tmHourglass_Timer()
{
    ++m_intFrame;
    if (m_intFrame > imgMsg.size())
        m_intFrame = 1;
    imgHourglass->setPixmap(imgMsg.at(m_intFrame - 1));
}

void frmMessage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdStop_Click(); // Esc stops even when the button is hidden
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMessage::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous()) {
        // The window manager's close asks like the stop button; only the program closes it.
        event->ignore();
        cmdStop_Click();
        return;
    }
    releaseOwner();
    tmHourglass->stop();
    m_blnLoaded = false;
    event->accept();
}

void frmMessage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        disableOwner();
    QDialog::changeEvent(event);
}
