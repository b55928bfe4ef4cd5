#pragma once
// A date typed as "dd/MM/yyyy" or picked from a calendar popup; an empty input means no date.

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace objdb {

class DateInput : public QWidget {
    Q_OBJECT

public:
    explicit DateInput(QWidget *parent = nullptr);
    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }

public slots:
    // Opens the calendar under the input, on the date typed (today when none or unreadable).
    void openCalendar();

protected:
    // F4 or Alt+Down in the input opens the calendar, as in a drop-down list.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A date was picked in the calendar (already written into the line edit).
    void datePicked(const QDate &date);

private:
    QLineEdit *m_edit;
    QToolButton *m_button;
};

} // namespace objdb
