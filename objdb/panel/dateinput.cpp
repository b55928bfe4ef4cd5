#include "objdb/panel/dateinput.h"

#include "objdb/panel/fieldtext.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
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
    m_button->setToolTip(QStringLiteral("Calendario (F4, Alt+Giù)"));
    // Tab goes from field to field; the calendar is opened from its date with F4 or Alt+Down.
    m_button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, &DateInput::openCalendar);
    m_edit->installEventFilter(this);
}

bool DateInput::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress && m_button->isEnabled()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool altDown = key->key() == Qt::Key_Down && key->modifiers().testFlag(Qt::AltModifier);
        if (key->key() == Qt::Key_F4 || altDown) {
            openCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
