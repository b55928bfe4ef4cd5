#pragma once
#include <QDate>
#include <QDialog>
#include <QVariant>

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QPushButton;
namespace objdb {
class DataContext;
}

// Deletes, in one step, the payments of settled movements up to a chosen date (settledpurge.h).
class frmDeletePayment : public QDialog {
    Q_OBJECT
public:
    // Purges the archive of `context`, which outlives the window.
    explicit frmDeletePayment(objdb::DataContext &context, QWidget *parent = nullptr);

    // Shows the dialog modally with the calendar on p_vntDate (now when empty or null), at the
    // given top and left in twips, -1 centring it in that direction. Returns the date the
    // payments were deleted up to, or an empty value.
    static QVariant SetDate(objdb::DataContext &context, const QVariant &p_vntDate, int p_nYPos, int p_nXPos,
                            QWidget *owner);

    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *txtData;
    QCalendarWidget *calTimeSetting;
    QPushButton *cmdSetting;

    QDate deletedUpTo() const { return m_deletedUpTo; }

private:
    void calTimeSetting_Click();
    void cmdSetting_Click();
    enum class Result { Deleted, Stopped, Failed };
    // The purge with the progress window and the hourglass pointer; a stop or a failure rolls it back
    // (`failure` then says why).
    Result purge(const QDate &upTo, QString &failure);

    objdb::DataContext &m_context;
    QDate m_deletedUpTo;
};
