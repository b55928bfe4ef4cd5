// The date selection the view is opened with: all dates, one day or one month of the reference
// date, or a period from it; and the currency its amounts are shown in.
#include "views/currentview.h"

#include "objdb/datasource.h"
#include "services/configuration.h"
#include "services/messageservice.h"
#include "views/dateperiod.h"
#include "views/dateselectioncaption.h"
#include "views/datestep.h"
#include "views/frmDateSetting.h"
#include "views/frmFromDateToDate.h"

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kUseDateSelection = QStringLiteral("UseDateSelection");
const QString kCurrencyConversion = QStringLiteral("CurrencyConversion");

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

void CurrentView::readSettings()
{
    // Only the day selection is stored; the month and the period are never.
    const bool byDay = TextToBool(Settings::readText(kConfiguration, kUseDateSelection, boolText(true)));
    m_dateSelection = byDay ? DateSelection::Day : DateSelection::All;
    m_currencyConversion = TextToBool(Settings::readText(kConfiguration, kCurrencyConversion, boolText(false)));
}

void CurrentView::writeSettings() const
{
    Settings::writeText(kConfiguration, kUseDateSelection, boolText(m_dateSelection == DateSelection::Day));
    Settings::writeText(kConfiguration, kCurrencyConversion, boolText(m_currencyConversion));
}

DateSelectionCaption CurrentView::selectionCaption(const QString &dateField) const
{
    QString fieldCaption;
    if (!dateField.isEmpty()) {
        const objdb::FieldDef *field = m_objCurDS ? m_objCurDS->Field(dateField) : nullptr;
        fieldCaption = field ? field->caption : dateField;
    }
    return CaptionForDateSelection(m_dateSelection, m_selectionDate, fieldCaption, m_selectionPeriodEnd);
}

void CurrentView::selectionMoved(const QDate &date)
{
    m_selectionDate = date;
    writeSettings();
    emit dateSelectionChanged();
}

void CurrentView::selectAll()
{
    m_dateSelection = DateSelection::All;
    selectionMoved(m_selectionDate);
}

void CurrentView::chooseDay(DateSelection selection)
{
    // Any day of the wanted month selects the month.
    const QVariant chosen = frmDateSetting::SetDate(m_selectionDate, -1, -1, &m_owner);
    if (!chosen.isValid())
        return;
    m_dateSelection = selection;
    selectionMoved(chosen.toDate());
}

void CurrentView::choosePeriod()
{
    // The period the dialog starts from: the one selected, the month, the day, or today.
    DatePeriod proposed{QDate::currentDate(), QDate::currentDate()};
    const QDate date = m_selectionDate;
    if (m_dateSelection == DateSelection::Period)
        proposed = {date, m_selectionPeriodEnd};
    else if (m_dateSelection == DateSelection::Month)
        proposed = {QDate(date.year(), date.month(), 1), QDate(date.year(), date.month(), 1).addMonths(1).addDays(-1)};
    else if (m_dateSelection == DateSelection::Day)
        proposed = {date, date};
    QVariant from = proposed.from;
    QVariant to = proposed.to;
    // A period that ends before it starts would show nothing: asked again with what was typed.
    while (true) {
        if (!frmFromDateToDate::SetDate(from, to, -1, -1, &m_owner))
            return;
        if (from.toDate() <= to.toDate())
            break;
        MessageService::inform(QStringLiteral("La data di fine periodo precede la data di inizio."),
                               MessageService::Icon::Exclamation, QString(), &m_owner);
    }
    m_selectionPeriodEnd = to.toDate();
    m_dateSelection = DateSelection::Period;
    selectionMoved(from.toDate());
}

void CurrentView::stepSelection(int steps)
{
    if (m_dateSelection != DateSelection::Period) {
        selectionMoved(StepSelectionDate(m_dateSelection, m_selectionDate, steps));
        return;
    }
    // A period's end moves with it.
    const DatePeriod moved = StepPeriod({m_selectionDate, m_selectionPeriodEnd}, steps);
    m_selectionPeriodEnd = moved.to;
    selectionMoved(moved.from);
}

void CurrentView::selectToday()
{
    if (m_dateSelection == DateSelection::All)
        m_dateSelection = DateSelection::Day;
    if (m_dateSelection != DateSelection::Period) {
        selectionMoved(QDate::currentDate());
        return;
    }
    const DatePeriod current = PeriodHolding({m_selectionDate, m_selectionPeriodEnd}, QDate::currentDate());
    m_selectionPeriodEnd = current.to;
    selectionMoved(current.from);
}
