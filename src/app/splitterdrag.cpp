#include "app/splitterdrag.h"

#include "app/frmMain.h"
#include "app/layout.h"
#include "services/twips.h"

#include <QMouseEvent>

SplitterDrag::SplitterDrag(frmMain &form) : QObject(form.imgSplitter), m_form(form)
{
    m_form.imgSplitter->installEventFilter(this);
}

bool SplitterDrag::eventFilter(QObject *, QEvent *event)
{
    using namespace Layout;
    // The splitter's other events come also while the window is being destroyed: none reads it.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    QWidget *splitter = m_form.imgSplitter;
    QWidget *bar = m_form.picSplitter;
    switch (type) {
    case QEvent::MouseButtonPress:
        bar->setGeometry(splitter->x(), splitter->y(), splitter->width() / 2,
                         std::max(0, splitter->height() - Twips::toPixelsY(20)));
        bar->show();
        bar->raise();
        m_blnMoving = true;
        return true;
    case QEvent::MouseMove: {
        if (!m_blnMoving)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const double position = m_form.splitterTwips() + Twips::fromPixelsX(int(mouse->position().x()));
        const double right = Twips::fromPixelsX(m_form.width()) - kDragMargin;
        const double barLeft = position < kDragMargin ? kDragMargin : position > right ? right : position;
        bar->move(Twips::toPixelsX(barLeft), bar->y());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_blnMoving)
            return false;
        LayoutMainWindow(m_form, float(Twips::fromPixelsX(bar->x())));
        bar->hide();
        m_blnMoving = false;
        return true;
    default:
        return false;
    }
}
