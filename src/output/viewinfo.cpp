#include "output/viewinfo.h"

#include "views/currentview.h"

namespace output {

QString ViewPeriodOf(const CurrentView &view, const QString &sectionKey, const QString &dateButtonTip)
{
    if (sectionKey == QLatin1String("Mov. per Collaboratori"))
        return view.periodCaption();
    if (!dateButtonTip.isEmpty() && view.dateSelection() != DateSelection::All)
        return dateButtonTip; // "Dati del giorno 07/03/2005 relativi a Data"
    return QString();
}

} // namespace output
