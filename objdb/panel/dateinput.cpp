#include "objdb/panel/dateinput.h"

#include "objdb/panel/fieldtext.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace objdb {

DateInput::DateInput(QWidget *parent) : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_edit->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    m_edit->setMaxLength(10);
    m_button->setText(QStringLiteral("..."));
    m_button->setToolTip(QStringLiteral("Calendario"));
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, &DateInput::openCalendar);
}

void DateInput::openCalendar()
{
    auto *calendar = new QCalendarWidget(this);
    calendar->setObjectName(QStringLiteral("calendarPopup"));
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    const FieldText::Parsed typed = FieldText::parseDate(m_edit->text());
    calendar->setSelectedDate(typed.ok() && !typed.value.isNull() ? typed.value.toDate() : QDate::currentDate());
    const auto pick = [this, calendar](const QDate &date) {
        calendar->close();
        m_edit->setText(FieldText::date(date));
        emit datePicked(date);
    };
    connect(calendar, &QCalendarWidget::clicked, this, pick);
    connect(calendar, &QCalendarWidget::activated, this, pick);
    calendar->move(m_edit->mapToGlobal(QPoint(0, m_edit->height())));
    calendar->show();
}

} // namespace objdb
