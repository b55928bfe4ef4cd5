#include "views/rememberedplace.h"

#include "services/configuration.h"

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kLastSection = QStringLiteral("LastSection");
const QString kLastDateMode = QStringLiteral("LastDateMode");
const QString kLastDate = QStringLiteral("LastDate");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QString modeText(DateSelection mode)
{
    switch (mode) {
    case DateSelection::Day:
        return QStringLiteral("day");
    case DateSelection::Month:
        return QStringLiteral("month");
    case DateSelection::All:
        break;
    }
    return QStringLiteral("all");
}

} // namespace

RememberedPlace ReadRememberedPlace()
{
    RememberedPlace place;
    place.section = Settings::readText(kSection, kLastSection);
    const QString mode = Settings::readText(kSection, kLastDateMode);
    for (DateSelection known : {DateSelection::All, DateSelection::Day, DateSelection::Month})
        if (mode == modeText(known))
            place.mode = known;
    place.date = QDate::fromString(Settings::readText(kSection, kLastDate), kDateFormat);
    return place;
}

void WriteRememberedPlace(const RememberedPlace &place, const QDate &today)
{
    if (!place.section.isEmpty())
        Settings::writeText(kSection, kLastSection, place.section);
    if (place.mode)
        Settings::writeText(kSection, kLastDateMode, modeText(*place.mode));
    Settings::writeText(kSection, kLastDate,
                        place.date.isValid() && place.date != today ? place.date.toString(kDateFormat) : QString());
}
