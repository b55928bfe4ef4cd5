#include "core/twipsconv.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;

double logicalDpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return kFallbackDpi;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : kFallbackDpi;
}
} // namespace

double dpiX() { return logicalDpi(true); }
double dpiY() { return logicalDpi(false); }

int toPixelsX(double twips) { return int(std::lround(twips * dpiX() / kTwipsPerInch)); }
int toPixelsY(double twips) { return int(std::lround(twips * dpiY() / kTwipsPerInch)); }
double fromPixelsX(int pixels) { return pixels * kTwipsPerInch / dpiX(); }
double fromPixelsY(int pixels) { return pixels * kTwipsPerInch / dpiY(); }

} // namespace Twips
