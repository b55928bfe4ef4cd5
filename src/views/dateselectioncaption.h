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

// fieldCaption is the caption of the view's date field ("Data", "Data Copertura", ...).
DateSelectionCaption CaptionForDateSelection(DateSelection selection, const QDate &date, const QString &fieldCaption);
