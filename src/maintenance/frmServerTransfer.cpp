#include "maintenance/frmServerTransfer.h"

#include "maintenance/serveraddressbox.h"
#include "services/messageservice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmServerTransfer::frmServerTransfer(const objdb::ServerAddress &proposed, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmServerTransfer"));
    setWindowTitle(QStringLiteral("Trasferisci archivio sul server"));
    setModal(true);
    auto *label = new QLabel(QStringLiteral("L'archivio aperto viene copiato per intero nel database indicato, "
                                            "che deve essere vuoto."),
                             this);
    label->setWordWrap(true);
    serverAddress = new ServerAddressBox(this);
    serverAddress->setAddress(proposed);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *transfer = buttons->addButton(QStringLiteral("&Trasferisci"), QDialogButtonBox::AcceptRole);
    transfer->setObjectName(QStringLiteral("cmdTransfer"));
    transfer->setDefault(true);
    QPushButton *test = buttons->addButton(QStringLiteral("&Prova connessione"), QDialogButtonBox::ActionRole);
    test->setObjectName(QStringLiteral("cmdTestConnection"));
    buttons->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmServerTransfer::onTransfer);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test, &QPushButton::clicked, this, [this] { serverAddress->testConnection(this); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(serverAddress);
    layout->addWidget(buttons);
}

void frmServerTransfer::onTransfer()
{
    if (const QString problem = serverAddress->problem(); !problem.isEmpty()) {
        MessageService::inform(problem, MessageService::Icon::Exclamation, QString(), this);
        return;
    }
    if (serverAddress->keepPassword(this))
        accept();
}

std::optional<objdb::ServerAddress> frmServerTransfer::Ask(const objdb::ServerAddress &proposed, QWidget *owner)
{
    frmServerTransfer dialog(proposed, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.serverAddress->address();
}
