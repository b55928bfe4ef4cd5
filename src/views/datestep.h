#pragma once
// Moving the date selection by one day or one month (a period moves by StepPeriod), and which part
// of the date button a click hit.

#include "views/viewquery.h"

#include <QDate>
#include <QString>

class QFontMetrics;

// The reference date moved by `steps` days (day selection) or months (month selection; a day past
// the end of the new month becomes its last day). All dates have nothing to move: the date stays.
QDate StepSelectionDate(DateSelection selection, const QDate &date, int steps);

enum class DateButtonPart { Previous, Menu, Next };
// The part of the date button under x: the "<" of its caption and the room before it move back, the
// ">" and the room after it move on, the date between them opens the menu. A caption without a date
// to move ("< tutti >") is all menu.
DateButtonPart DateButtonPartAt(int x, int buttonWidth, const QString &caption, const QFontMetrics &metrics,
                                DateSelection selection);
