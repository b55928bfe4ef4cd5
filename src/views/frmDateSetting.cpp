#include "views/frmDateSetting.h"

#include "views/dialogplacement.h"

#include <QCalendarWidget>
#include <QDateTime>
#include <QPushButton>
#include <QVBoxLayout>

frmDateSetting::frmDateSetting(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateSetting"));
    setWindowTitle(QStringLiteral("Impostazione della data"));
    setModal(true);

    calTimeSetting = new QCalendarWidget(this);
    calTimeSetting->setObjectName(QStringLiteral("calTimeSetting"));
    calTimeSetting->setGridVisible(true);
    cmdSetting = new QPushButton(QStringLiteral("&Imposta"), this);
    cmdSetting->setObjectName(QStringLiteral("cmdSetting"));
    cmdSetting->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(calTimeSetting);
    layout->addWidget(cmdSetting, 0, Qt::AlignRight);

    connect(cmdSetting, &QPushButton::clicked, this, &frmDateSetting::confirm);
    // Double click (or Enter) on a day of the calendar.
    connect(calTimeSetting, &QCalendarWidget::activated, this, &frmDateSetting::confirm);
}

void frmDateSetting::confirm()
{
    m_result = calTimeSetting->selectedDate();
    accept();
}

QVariant frmDateSetting::SetDate(QVariant p_vntDate, int p_nXPos, int p_nYPos, QWidget *owner)
{
    frmDateSetting dialog(owner);
    DialogPlacement::moveTo(&dialog, p_nXPos, p_nYPos);
    const QDate shown = p_vntDate.isNull() || !p_vntDate.isValid() ? QDate() : p_vntDate.toDate();
    dialog.calTimeSetting->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    // Escape rejects the dialog and leaves no result.
    dialog.exec();
    return dialog.result().isValid() ? QVariant(dialog.result()) : QVariant();
}
