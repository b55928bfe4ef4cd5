#include "maintenance/frmArchiveCheck.h"

#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "services/errorreport.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTextStream>
#include <QVBoxLayout>

frmArchiveCheck::frmArchiveCheck(objdb::DataContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmArchiveCheck"));
    setWindowTitle(QStringLiteral("Verifica archivio"));
    lstResult = new QListWidget(this);
    lstResult->setObjectName(QStringLiteral("lstResult"));
    lstResult->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdRecalculate = new QPushButton(QStringLiteral("&Ricalcola"), this);
    cmdRecalculate->setObjectName(QStringLiteral("cmdRecalculate"));
    cmdRecalculate->setToolTip(QStringLiteral("Ricalcola importi in sospeso e pagato dai pagamenti"));
    cmdExport = new QPushButton(QStringLiteral("&Esporta..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdClose = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRecalculate);
    buttons->addStretch();
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstResult, 1);
    layout->addLayout(buttons);
    resize(720, 360);

    connect(cmdRecalculate, &QPushButton::clicked, this, [this] { RunReportingFailures([this] { cmdRecalculate_Click(); }); });
    connect(cmdExport, &QPushButton::clicked, this, &frmArchiveCheck::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmArchiveCheck::accept);
}

void frmArchiveCheck::ShowCheck(objdb::DataContext &context, QWidget *owner)
{
    frmArchiveCheck dialog(context, owner);
    dialog.runCheck();
    dialog.exec();
}

void frmArchiveCheck::runCheck()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] {
        frmMessage::closeInstance();
        QApplication::restoreOverrideCursor();
    });
    frmMessage::instance()->ShowMsg(QStringLiteral("Verifica archivio..."), parentWidget());
    const ArchiveCheck::Report report = ArchiveCheck::Run(m_context);
    lstResult->clear();
    lstResult->addItems(report.lines);
    cmdRecalculate->setEnabled(report.movementMismatches > 0);
}

void frmArchiveCheck::cmdRecalculate_Click()
{
    if (!MessageService::askYesNo(QStringLiteral("Ricalcolare importo in sospeso e pagato dei movimenti elencati "
                                                 "dai loro pagamenti?"),
                                  MessageService::Icon::Question, MessageService::Answer::No, QString(), this))
        return;
    int changed = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        changed = ArchiveCheck::Recalculate(m_context);
    }
    MessageService::inform(QStringLiteral("Movimenti ricalcolati: %1.").arg(changed), MessageService::Icon::Information,
                           QString(), this);
    runCheck();
}

void frmArchiveCheck::cmdExport_Click()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta"),
                                                      QStringLiteral("Verifica archivio.txt"),
                                                      QStringLiteral("Testo (*.txt)"));
    if (!path.isEmpty())
        exportTo(path);
}

bool frmArchiveCheck::exportTo(const QString &path)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream out(&file);
        for (int i = 0; i < lstResult->count(); ++i)
            out << lstResult->item(i)->text() << '\n';
        out.flush();
        if (file.commit())
            return true;
    }
    MessageService::inform(QStringLiteral("Impossibile scrivere il file %1.").arg(path), MessageService::Icon::Critical,
                           QString(), this);
    return false;
}
