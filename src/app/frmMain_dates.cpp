// The date selection of the views: all dates, one day or one month of SelectionDate, and the
// caption of the date button that tells what the grid shows.
#include "app/frmMain.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"
#include "views/frmDateSetting.h"

#include <QAction>
#include <QCursor>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

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

void frmMain::UpdateDateSelectionCaption()
{
    const bool byDay = modGlobal::UseDateSelection;
    const bool byMonth = modGlobal::UseMonthSelection;
    mnuSelAll->setChecked(!byDay && !byMonth);
    mnuSelDate->setChecked(byDay);
    mnuSelMonth->setChecked(byMonth);

    const QString dateField = cmdDateSel->property("tag").toString();
    QString fieldCaption;
    if (!dateField.isEmpty()) {
        const objdb::FieldDef *field = m_objCurDS ? m_objCurDS->Field(dateField) : nullptr;
        fieldCaption = field ? field->caption : dateField;
    }
    const QString prefix = captionPrefix(fieldCaption);
    const QDate date = modGlobal::SelectionDate.date();

    if (byMonth) {
        cmdDateSel->setText(prefix + QStringLiteral("< ") + monthCaption(date) + QStringLiteral(" >"));
        cmdDateSel->setToolTip(QStringLiteral("Dati del mese ") + date.toString(QStringLiteral("MM/yyyy"))
                               + QStringLiteral(" relativi a ") + fieldCaption);
        mnuSelection->setTitle(QStringLiteral("Solo in data ") + cmdDateSel->text());
    } else if (byDay) {
        cmdDateSel->setText(prefix + QStringLiteral("< ") + dayCaption(date) + QStringLiteral(" >"));
        cmdDateSel->setToolTip(QStringLiteral("Dati del giorno ") + date.toString(QStringLiteral("dd/MM/yyyy"))
                               + QStringLiteral(" relativi a ") + fieldCaption);
        mnuSelection->setTitle(QStringLiteral("Solo in data ") + cmdDateSel->text());
    } else {
        cmdDateSel->setText(QStringLiteral("< tutti >"));
        cmdDateSel->setToolTip(QStringLiteral("Nessuna selezione per ") + fieldCaption);
        mnuSelection->setTitle(QStringLiteral("Seleziona per ") + fieldCaption);
    }
}

namespace {

// Stores the new selection and shows the view limited by it.
void applySelection(frmMain &form)
{
    form.UpdateDateSelectionCaption();
    WriteConfiguration();
    form.RefreshDetailView(QString());
}

} // namespace

void frmMain::mnuSelAll_Click()
{
    if (mnuSelAll->isChecked())
        return;
    modGlobal::UseDateSelection = false;
    modGlobal::UseMonthSelection = false;
    applySelection(*this);
}

void frmMain::mnuSelDate_Click()
{
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    modGlobal::UseDateSelection = true;
    modGlobal::UseMonthSelection = false;
    applySelection(*this);
}

void frmMain::mnuSelMonth_Click()
{
    // Any day of the wanted month selects the month.
    const QVariant chosen = frmDateSetting::SetDate(modGlobal::SelectionDate, -1, -1, this);
    if (!chosen.isValid())
        return;
    modGlobal::SelectionDate = chosen.toDate().startOfDay();
    modGlobal::UseDateSelection = false;
    modGlobal::UseMonthSelection = true;
    applySelection(*this);
}

void frmMain::cmdDateSel_Click()
{
    mnuSelection->popup(QCursor::pos());
}
