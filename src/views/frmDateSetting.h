#pragma once
#include <QDate>
#include <QDialog>
#include <QVariant>

class QCalendarWidget;
class QPushButton;

// Asks for one date on a month calendar.
class frmDateSetting : public QDialog {
    Q_OBJECT
public:
    explicit frmDateSetting(QWidget *parent = nullptr);

    // Shows the dialog modally with p_vntDate (today when empty or null) at the given position
    // in twips, -1 meaning centred. Returns the chosen date, or an empty value when cancelled.
    static QVariant SetDate(QVariant p_vntDate, int p_nXPos, int p_nYPos, QWidget *owner);

    QCalendarWidget *calTimeSetting;
    QPushButton *cmdSetting;

    // The date taken when the dialog was confirmed; null otherwise.
    QDate result() const { return m_result; }

private:
    void confirm();

    QDate m_result;
};
