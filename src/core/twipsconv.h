#pragma once
// Window measures of the program are kept in twips (1/1440 inch); widgets are placed in pixels.
// The conversion uses the primary screen's logical resolution.

namespace Twips {

double dpiX();
double dpiY();

int toPixelsX(double twips);
int toPixelsY(double twips);
double fromPixelsX(int pixels);
double fromPixelsY(int pixels);

} // namespace Twips
