#pragma once
// The texts that tell what the date selection shows: the date button's caption and tip, and the
// title of the "Selezioni in data" menu.

#include "views/viewquery.h"

#include <QDate>
#include <QString>

struct DateSelectionCaption {
    QString text;
    QString toolTip;
    QString menuTitle;
};

// fieldCaption is the caption of the view's date field ("Data", "Data Copertura", ...); a period
// runs from date to periodEnd.
DateSelectionCaption CaptionForDateSelection(DateSelection selection, const QDate &date, const QString &fieldCaption,
                                             const QDate &periodEnd = QDate());

// The items that step the selection, with their accelerators and keys: "Giorno p&recedente",
// "Mese &successivo", "Periodo &corrente"; a day's or all dates' current item is "&Oggi".
struct DateStepCaptions {
    QString previous;
    QString next;
    QString current;
};
DateStepCaptions StepCaptionsFor(DateSelection selection);

// The title above the grid: the section ("Sospesi"), and for a dated view what it shows of the
// dates ("Pagamenti — 12/06/2024", "Pagamenti — giugno 2024",
// "Pagamenti — dal 10/06/2024 al 16/06/2024", "Pagamenti — tutte le date").
QString ViewTitle(const QString &section);
QString ViewTitle(const QString &section, DateSelection selection, const QDate &date, const QDate &periodEnd = QDate());
