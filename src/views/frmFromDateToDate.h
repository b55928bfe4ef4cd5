#pragma once
#include <QDate>
#include <QDialog>
#include <QVariant>

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a period: a start and an end date, typed as dd/mm/yyyy or picked on two calendars.
class frmFromDateToDate : public QDialog {
    Q_OBJECT
public:
    explicit frmFromDateToDate(QWidget *parent = nullptr);

    // Shows the dialog modally at the given position in twips (-1 = centred). Each end starts
    // from its argument, or today when that is empty or null. Only a confirmed dialog writes the
    // chosen dates back into the two arguments; the result says whether it was confirmed.
    static bool SetDate(QVariant &p_vntFromDate, QVariant &p_vntToDate, int p_nXPos, int p_nYPos,
                        QWidget *owner);

    // A date as the dialog writes and reads it.
    static QString dateText(const QDate &date);
    static QDate parseDate(const QString &text);

    QLabel *lblFromDate;
    QLabel *lblToDate;
    QLineEdit *txtFromDate;
    QLineEdit *txtToDate;
    QCalendarWidget *calFromData;
    QCalendarWidget *calToData;
    QPushButton *cmdSet;

    bool confirmed() const { return m_blnConfirmed; }
    QDate fromDate() const { return m_datFrom; }
    QDate toDate() const { return m_datTo; }

private:
    void showEnd(QLineEdit *text, QCalendarWidget *calendar, const QVariant &value);
    void followText(QLineEdit *text, QCalendarWidget *calendar);
    void cmdSet_Click();

    QDate m_datFrom;
    QDate m_datTo;
    bool m_blnConfirmed = false;
};
