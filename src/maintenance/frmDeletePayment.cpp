#include "maintenance/frmDeletePayment.h"

#include "maintenance/settledpurge.h"
#include "services/deskmark.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "services/twips.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScopeGuard>

namespace {

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

// A date as the user types it: day, month and year, the year with two or four digits.
QDate parseDate(const QString &text)
{
    for (const char *format : {"d/M/yyyy", "d/M/yy", "d-M-yyyy", "d.M.yyyy"}) {
        QDate date = QDate::fromString(text.trimmed(), QLatin1String(format));
        if (date.isValid()) {
            if (date.year() < 1930) // two-digit years are of this century or the last
                date = date.addYears(100);
            return date;
        }
    }
    return QDate();
}

} // namespace

frmDeletePayment::frmDeletePayment(objdb::DataContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmDeletePayment"));
    setWindowTitle(QStringLiteral("Eliminazione dei pagamenti"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Elimina tutti i pagamenti fino alla data:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Nota: i pagamenti in sospeso non verranno eliminati."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtData = new QLineEdit(this);
    txtData->setObjectName(QStringLiteral("txtData"));
    Label1->setBuddy(txtData);
    calTimeSetting = new QCalendarWidget(this);
    calTimeSetting->setObjectName(QStringLiteral("calTimeSetting"));
    calTimeSetting->setGridVisible(true);
    cmdSetting = new QPushButton(QStringLiteral("&Elimina"), this);
    cmdSetting->setObjectName(QStringLiteral("cmdSetting"));
    cmdSetting->setToolTip(QStringLiteral("Conferma le impostazioni"));
    cmdSetting->setDefault(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(txtData, 0, 1);
    layout->addWidget(calTimeSetting, 1, 0, 1, 2);
    layout->addWidget(Label2, 2, 0, 1, 2);
    layout->addWidget(cmdSetting, 3, 1, Qt::AlignRight);

    txtData->setText(QDate::currentDate().toString(kDateFormat));
    connect(calTimeSetting, &QCalendarWidget::clicked, this, &frmDeletePayment::calTimeSetting_Click);
    connect(cmdSetting, &QPushButton::clicked, this, &frmDeletePayment::cmdSetting_Click);
}

QVariant frmDeletePayment::SetDate(objdb::DataContext &context, const QVariant &p_vntDate, int p_nYPos, int p_nXPos,
                                   QWidget *owner)
{
    frmDeletePayment dialog(context, owner);
    dialog.adjustSize();
    const QScreen *screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    dialog.move(p_nXPos == -1 ? area.x() + (area.width() - dialog.width()) / 2 : Twips::toPixelsX(p_nXPos),
                p_nYPos == -1 ? area.y() + (area.height() - dialog.height()) / 2 : Twips::toPixelsY(p_nYPos));
    const QDate shown = p_vntDate.isValid() && !p_vntDate.isNull() ? p_vntDate.toDate() : QDate();
    dialog.calTimeSetting->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    dialog.exec();
    return dialog.deletedUpTo().isValid() ? QVariant(dialog.deletedUpTo()) : QVariant();
}

void frmDeletePayment::calTimeSetting_Click()
{
    txtData->setText(calTimeSetting->selectedDate().toString(kDateFormat));
}

void frmDeletePayment::cmdSetting_Click()
{
    if (const auto database = m_context.database(); database && RefuseWhileOtherDesksIn(database->path(), this))
        return;
    const QDate upTo = parseDate(txtData->text());
    if (!upTo.isValid()) {
        MessageService::inform(QStringLiteral("La data impostata non è valida."), MessageService::Icon::Critical,
                               QString(), this);
        return;
    }
    if (!MessageService::askYesNo(QStringLiteral("Confermi l'eliminazione dei pagamenti fino alla data ")
                                      + txtData->text() + QStringLiteral("?"),
                                  MessageService::Icon::Question, MessageService::Answer::Yes, QString(), this))
        return;
    QString failure;
    switch (purge(upTo, failure)) {
    case Result::Stopped:
        return;
    case Result::Failed:
        MessageService::inform(QStringLiteral("Errore durante la cancellazione dei dati.\n\n") + failure
                                   + QStringLiteral("\n\nL'archivio non è stato modificato."),
                               MessageService::Icon::Critical, QString(), this);
        return;
    case Result::Deleted:
        break;
    }
    MessageService::inform(QStringLiteral("I pagamenti sono stati eliminati."), MessageService::Icon::Information,
                           QString(), this);
    m_deletedUpTo = upTo;
    accept();
}

frmDeletePayment::Result frmDeletePayment::purge(const QDate &upTo, QString &failure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmMessage *progress = frmMessage::instance();
    const auto restore = qScopeGuard([] {
        frmMessage::closeInstance();
        QApplication::restoreOverrideCursor();
    });
    progress->ShowMsg(QStringLiteral("Eliminazione dei pagamenti..."), this);
    bool started = false;
    try {
        const SettledPurge::Outcome outcome =
            SettledPurge::Run(m_context, upTo, [&](int done, int total) {
                if (!started) {
                    progress->StartProgress(total, true);
                    started = true;
                }
                return progress->Progress(done);
            });
        return outcome.stopped ? Result::Stopped : Result::Deleted;
    } catch (const std::exception &e) {
        failure = QString::fromUtf8(e.what()); // the library's errors say why in Italian
        return Result::Failed;
    }
}
