#include "services/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Twips {

namespace {

QScreen *screenOf(const QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double dpiX(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

} // namespace

int toPixelsX(double twips, const QWidget *widget)
{
    return static_cast<int>(std::lround(twips * dpiX(widget) / kPerInch));
}

int toPixelsY(double twips, const QWidget *widget)
{
    return static_cast<int>(std::lround(twips * dpiY(widget) / kPerInch));
}

double fromPixelsX(int pixels, const QWidget *widget)
{
    return pixels * kPerInch / dpiX(widget);
}

double fromPixelsY(int pixels, const QWidget *widget)
{
    return pixels * kPerInch / dpiY(widget);
}

} // namespace Twips
