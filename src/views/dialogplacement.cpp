#include "views/dialogplacement.h"

#include "services/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void DialogPlacement::moveTo(QWidget *dialog, int p_nXPos, int p_nYPos)
{
    dialog->adjustSize();
    const QScreen *screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int x = p_nXPos == -1 ? area.x() + (area.width() - dialog->width()) / 2 : Twips::toPixelsX(p_nXPos);
    const int y = p_nYPos == -1 ? area.y() + (area.height() - dialog->height()) / 2 : Twips::toPixelsY(p_nYPos);
    dialog->move(x, y);
}
