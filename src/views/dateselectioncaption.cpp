// The date button's caption: "< 07 mar 2005 >", "< marzo 2005 >", "< 01/03/2005 - 07/03/2005 >" or
// "< tutti >", after the part of the date field's caption that follows "Data"; and the view's title.
#include "views/dateselectioncaption.h"

#include <QLocale>

namespace {

const QLocale &italian()
{
    static const QLocale locale(QLocale::Italian, QLocale::Italy);
    return locale;
}

QString monthCaption(const QDate &date)
{
    return italian().toString(date, QStringLiteral("MMMM yyyy"));
}

// "07 mar 2005": some locale data abbreviate with a dot, which the caption does not show.
QString dayCaption(const QDate &date)
{
    QString month = italian().monthName(date.month(), QLocale::ShortFormat);
    if (month.endsWith(QLatin1Char('.')))
        month.chop(1);
    return date.toString(QStringLiteral("dd ")) + month + date.toString(QStringLiteral(" yyyy"));
}

QString shortDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

// "Data Copertura" gives "Copertura  "; a caption "Data" gives nothing; any other stays whole.
QString captionPrefix(const QString &fieldCaption)
{
    if (fieldCaption.left(4).toUpper() != QLatin1String("DATA"))
        return fieldCaption;
    QString rest = fieldCaption.mid(4);
    while (rest.startsWith(QLatin1Char(' ')))
        rest.remove(0, 1);
    return rest.isEmpty() ? QString() : rest + QStringLiteral("  ");
}

} // namespace

DateSelectionCaption CaptionForDateSelection(DateSelection selection, const QDate &date, const QString &fieldCaption,
                                             const QDate &periodEnd)
{
    const QString prefix = captionPrefix(fieldCaption);
    switch (selection) {
    case DateSelection::Period: {
        const QString text =
            prefix + QStringLiteral("< ") + shortDate(date) + QStringLiteral(" - ") + shortDate(periodEnd) + QStringLiteral(" >");
        return {text,
                QStringLiteral("Dati del periodo dal ") + shortDate(date) + QStringLiteral(" al ") + shortDate(periodEnd)
                    + QStringLiteral(" relativi a ") + fieldCaption,
                // The button and the title above the grid name the period: its dates in the menu bar
                // would push the last menus out of sight.
                QStringLiteral("Solo nel periodo")};
    }
    case DateSelection::Month: {
        const QString text = prefix + QStringLiteral("< ") + monthCaption(date) + QStringLiteral(" >");
        return {text,
                QStringLiteral("Dati del mese ") + date.toString(QStringLiteral("MM/yyyy")) + QStringLiteral(" relativi a ")
                    + fieldCaption,
                QStringLiteral("Solo in data ") + text};
    }
    case DateSelection::Day: {
        const QString text = prefix + QStringLiteral("< ") + dayCaption(date) + QStringLiteral(" >");
        return {text,
                QStringLiteral("Dati del giorno ") + date.toString(QStringLiteral("dd/MM/yyyy"))
                    + QStringLiteral(" relativi a ") + fieldCaption,
                QStringLiteral("Solo in data ") + text};
    }
    case DateSelection::All:
        break;
    }
    return {QStringLiteral("< tutti >"), QStringLiteral("Nessuna selezione per ") + fieldCaption,
            QStringLiteral("Seleziona per ") + fieldCaption};
}

QString ViewTitle(const QString &section)
{
    return section;
}

QString ViewTitle(const QString &section, DateSelection selection, const QDate &date, const QDate &periodEnd)
{
    QString shown;
    switch (selection) {
    case DateSelection::Day:
        shown = shortDate(date);
        break;
    case DateSelection::Month:
        shown = monthCaption(date);
        break;
    case DateSelection::Period:
        shown = QStringLiteral("dal ") + shortDate(date) + QStringLiteral(" al ") + shortDate(periodEnd);
        break;
    case DateSelection::All:
        shown = QStringLiteral("tutte le date");
        break;
    }
    return section + QStringLiteral(" — ") + shown;
}

DateStepCaptions StepCaptionsFor(DateSelection selection)
{
    const QString unit = selection == DateSelection::Month  ? QStringLiteral("Mese")
                       : selection == DateSelection::Period ? QStringLiteral("Periodo")
                                                            : QStringLiteral("Giorno");
    const bool day = selection == DateSelection::Day || selection == DateSelection::All;
    return {unit + QStringLiteral(" p&recedente\tAlt+Sinistra"), unit + QStringLiteral(" &successivo\tAlt+Destra"),
            (day ? QStringLiteral("&Oggi") : unit + QStringLiteral(" &corrente")) + QStringLiteral("\tAlt+Home")};
}
