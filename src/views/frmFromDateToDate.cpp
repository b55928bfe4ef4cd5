#include "views/frmFromDateToDate.h"

#include "services/messageservice.h"
#include "views/dialogplacement.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");
}

frmFromDateToDate::frmFromDateToDate(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFromDateToDate"));
    setWindowTitle(QStringLiteral("Selezione Periodo"));
    setModal(true);

    lblFromDate = new QLabel(QStringLiteral("&Da Data:"), this);
    lblToDate = new QLabel(QStringLiteral("&A Data:"), this);
    txtFromDate = new QLineEdit(this);
    txtFromDate->setObjectName(QStringLiteral("txtFromDate"));
    txtToDate = new QLineEdit(this);
    txtToDate->setObjectName(QStringLiteral("txtToDate"));
    lblFromDate->setBuddy(txtFromDate);
    lblToDate->setBuddy(txtToDate);
    calFromData = new QCalendarWidget(this);
    calFromData->setObjectName(QStringLiteral("calFromData"));
    calToData = new QCalendarWidget(this);
    calToData->setObjectName(QStringLiteral("calToData"));
    cmdSet = new QPushButton(QStringLiteral("&Imposta"), this);
    cmdSet->setObjectName(QStringLiteral("cmdSet"));
    cmdSet->setDefault(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(lblFromDate, 0, 0);
    layout->addWidget(txtFromDate, 0, 1);
    layout->addWidget(lblToDate, 0, 2);
    layout->addWidget(txtToDate, 0, 3);
    layout->addWidget(calFromData, 1, 0, 1, 2);
    layout->addWidget(calToData, 1, 2, 1, 2);
    layout->addWidget(cmdSet, 2, 3, Qt::AlignRight);

    connect(calFromData, &QCalendarWidget::clicked, this,
            [this](QDate date) { txtFromDate->setText(dateText(date)); });
    connect(calToData, &QCalendarWidget::clicked, this, [this](QDate date) { txtToDate->setText(dateText(date)); });
    connect(txtFromDate, &QLineEdit::editingFinished, this, [this] { followText(txtFromDate, calFromData); });
    connect(txtToDate, &QLineEdit::editingFinished, this, [this] { followText(txtToDate, calToData); });
    connect(cmdSet, &QPushButton::clicked, this, &frmFromDateToDate::cmdSet_Click);
}

QString frmFromDateToDate::dateText(const QDate &date)
{
    return date.toString(kDateFormat);
}

QDate frmFromDateToDate::parseDate(const QString &text)
{
    // Days and months may be typed without their leading zero.
    const QString trimmed = text.trimmed();
    const QDate date = QDate::fromString(trimmed, kDateFormat);
    return date.isValid() ? date : QDate::fromString(trimmed, QStringLiteral("d/M/yyyy"));
}

void frmFromDateToDate::showEnd(QLineEdit *text, QCalendarWidget *calendar, const QVariant &value)
{
    const QDate date = value.isNull() || !value.isValid() ? QDate() : value.toDate();
    const QDate shown = date.isValid() ? date : QDate::currentDate();
    calendar->setSelectedDate(shown);
    text->setText(dateText(shown));
}

void frmFromDateToDate::followText(QLineEdit *text, QCalendarWidget *calendar)
{
    const QDate date = parseDate(text->text());
    if (date.isValid())
        calendar->setSelectedDate(date);
}

void frmFromDateToDate::cmdSet_Click()
{
    const QDate from = parseDate(txtFromDate->text());
    if (!from.isValid()) {
        MessageService::inform(QStringLiteral("La data di inizio periodo non è valida."),
                               MessageService::Icon::Critical, QString(), this);
        return;
    }
    const QDate to = parseDate(txtToDate->text());
    if (!to.isValid()) {
        MessageService::inform(QStringLiteral("La data di fine periodo non è valida."),
                               MessageService::Icon::Critical, QString(), this);
        return;
    }
    m_datFrom = from;
    m_datTo = to;
    m_blnConfirmed = true;
    accept();
}

bool frmFromDateToDate::SetDate(QVariant &p_vntFromDate, QVariant &p_vntToDate, int p_nXPos, int p_nYPos,
                                QWidget *owner)
{
    frmFromDateToDate dialog(owner);
    dialog.showEnd(dialog.txtFromDate, dialog.calFromData, p_vntFromDate);
    dialog.showEnd(dialog.txtToDate, dialog.calToData, p_vntToDate);
    DialogPlacement::moveTo(&dialog, p_nXPos, p_nYPos);
    // Escape closes without confirming.
    dialog.exec();
    if (!dialog.confirmed())
        return false;
    p_vntFromDate = dialog.fromDate();
    p_vntToDate = dialog.toDate();
    return true;
}
