#include "views/datestep.h"

#include <QFontMetrics>

QDate StepSelectionDate(DateSelection selection, const QDate &date, int steps)
{
    switch (selection) {
    case DateSelection::Day:
        return date.addDays(steps);
    case DateSelection::Month:
        return date.addMonths(steps);
    case DateSelection::Period: // moves with both its ends: StepPeriod
    case DateSelection::All:
        break;
    }
    return date;
}

DateButtonPart DateButtonPartAt(int x, int buttonWidth, const QString &caption, const QFontMetrics &metrics,
                                DateSelection selection)
{
    const qsizetype open = caption.indexOf(QLatin1String("< "));
    if (selection == DateSelection::All || open < 0 || !caption.endsWith(QLatin1String(" >")))
        return DateButtonPart::Menu;
    // The caption is drawn centred on the button.
    const int textLeft = (buttonWidth - metrics.horizontalAdvance(caption)) / 2;
    const int previousEnd = textLeft + metrics.horizontalAdvance(caption.left(open + 2));
    const int nextStart = textLeft + metrics.horizontalAdvance(caption.chopped(2));
    if (x < previousEnd)
        return DateButtonPart::Previous;
    if (x >= nextStart)
        return DateButtonPart::Next;
    return DateButtonPart::Menu;
}
