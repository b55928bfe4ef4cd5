#include "views/rememberedplace.h"

#include "services/configuration.h"

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kLastSection = QStringLiteral("LastSection");
const QString kLastDateMode = QStringLiteral("LastDateMode");
const QString kLastDate = QStringLiteral("LastDate");
const QString kLastPeriodEnd = QStringLiteral("LastPeriodEnd");
const QString kLastDay = QStringLiteral("LastDay"); // the day the dates were left
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

constexpr DateSelection kModes[] = {DateSelection::All, DateSelection::Day, DateSelection::Month, DateSelection::Period};

QString modeText(DateSelection mode)
{
    switch (mode) {
    case DateSelection::Day:
        return QStringLiteral("day");
    case DateSelection::Month:
        return QStringLiteral("month");
    case DateSelection::Period:
        return QStringLiteral("period");
    case DateSelection::All:
        break;
    }
    return QStringLiteral("all");
}

QDate storedDate(const QString &key)
{
    return QDate::fromString(Settings::readText(kSection, key), kDateFormat);
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(kDateFormat) : QString();
}

} // namespace

RememberedPlace ReadRememberedPlace(const QDate &today)
{
    RememberedPlace place;
    place.section = Settings::readText(kSection, kLastSection);
    const QString mode = Settings::readText(kSection, kLastDateMode);
    for (DateSelection known : kModes)
        if (mode == modeText(known))
            place.mode = known;
    const QDate date = storedDate(kLastDate);
    if (place.mode != DateSelection::Period) {
        if (storedDate(kLastDay) == today)
            place.date = date;
        return place;
    }
    DatePeriod period{date, storedDate(kLastPeriodEnd)};
    if (!period.from.isValid() || !period.to.isValid() || period.to < period.from) {
        place.mode = DateSelection::Day;
        return place;
    }
    if (storedDate(kLastDay) != today)
        period = PeriodHolding(period, today);
    place.date = period.from;
    place.periodEnd = period.to;
    return place;
}

void WriteRememberedPlace(const RememberedPlace &place, const QDate &today)
{
    if (!place.section.isEmpty())
        Settings::writeText(kSection, kLastSection, place.section);
    if (place.mode)
        Settings::writeText(kSection, kLastDateMode, modeText(*place.mode));
    Settings::writeText(kSection, kLastDate, dateText(place.date));
    Settings::writeText(kSection, kLastPeriodEnd, place.mode == DateSelection::Period ? dateText(place.periodEnd) : QString());
    Settings::writeText(kSection, kLastDay, dateText(today));
}
