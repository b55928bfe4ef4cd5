#pragma once
// Window measures and stored placements are in twips (1/1440 inch); the screen works in pixels.
// The conversion uses the real logical DPI of the screen the widget is on (the primary screen
// when no widget is given).

class QWidget;

namespace Twips {

inline constexpr double kPerInch = 1440.0;

int toPixelsX(double twips, const QWidget *widget = nullptr);
int toPixelsY(double twips, const QWidget *widget = nullptr);
double fromPixelsX(int pixels, const QWidget *widget = nullptr);
double fromPixelsY(int pixels, const QWidget *widget = nullptr);

} // namespace Twips
