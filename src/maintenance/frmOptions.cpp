#include "maintenance/frmOptions.h"

#include "services/administratoronly.h"
#include "services/messageservice.h"
#include "maintenance/frmSelectDir.h"
#include "maintenance/serveraddressbox.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Two spellings of one folder: the same real folder when both exist (links and "." resolved),
// else the same path once cleaned. Letter case counts: on this system "Dati" and "dati" are two
// folders.
bool sameFolder(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

const QString kConfirm = QStringLiteral("\n\n") + QStringLiteral("Confermi ?");

} // namespace

frmOptions::frmOptions(WorkDirAccess access, ArchiveChoiceAccess choice, QWidget *parent)
    : QDialog(parent)
    , m_access(std::move(access))
    , m_choice(std::move(choice))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Impostazioni"));

    frmGeneralParameter = new QGroupBox(QStringLiteral("Parametri Generali:"), this);
    frmGeneralParameter->setObjectName(QStringLiteral("frmGeneralParameter"));
    txtWorkDir = new QLineEdit(frmGeneralParameter);
    txtWorkDir->setObjectName(QStringLiteral("txtWorkDir"));
    Label1 = new QLabel(QStringLiteral("Indirizzario di lavoro:"), frmGeneralParameter);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(txtWorkDir);
    cmdSelWorkDir = new QPushButton(QStringLiteral("..."), frmGeneralParameter);
    cmdSelWorkDir->setObjectName(QStringLiteral("cmdSelWorkDir"));
    optArchiveFile = new QRadioButton(QStringLiteral("Archivio su &file"), this);
    optArchiveFile->setObjectName(QStringLiteral("optArchiveFile"));
    optArchiveServer = new QRadioButton(QStringLiteral("Archivio su ser&ver"), this);
    optArchiveServer->setObjectName(QStringLiteral("optArchiveServer"));
    frmServer = new QGroupBox(QStringLiteral("Server PostgreSQL:"), this);
    frmServer->setObjectName(QStringLiteral("frmServer"));
    serverAddress = new ServerAddressBox(frmServer);
    cmdTestConnection = new QPushButton(QStringLiteral("&Prova connessione"), frmServer);
    cmdTestConnection->setObjectName(QStringLiteral("cmdTestConnection"));

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Esci"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdRepairDB = new QPushButton(QStringLiteral("&Recupera Database"), this);
    cmdRepairDB->setObjectName(QStringLiteral("cmdRepairDB"));

    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(txtWorkDir, 1);
    dirRow->addWidget(cmdSelWorkDir);
    auto *frameLayout = new QVBoxLayout(frmGeneralParameter);
    frameLayout->addWidget(Label1);
    frameLayout->addLayout(dirRow);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRepairDB);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *serverLayout = new QVBoxLayout(frmServer);
    serverLayout->addWidget(serverAddress);
    serverLayout->addWidget(cmdTestConnection, 0, Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(optArchiveFile);
    layout->addWidget(frmGeneralParameter);
    layout->addWidget(optArchiveServer);
    layout->addWidget(frmServer);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, 420);

    connect(cmdSelWorkDir, &QPushButton::clicked, this, &frmOptions::onSelWorkDir);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::onOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::reject);
    connect(cmdRepairDB, &QPushButton::clicked, this, &frmOptions::onRepairDB);
    connect(cmdTestConnection, &QPushButton::clicked, this, &frmOptions::onTestConnection);
    connect(optArchiveServer, &QRadioButton::toggled, this, &frmOptions::showKind);

    txtWorkDir->setText(m_access.read());
    const ArchiveChoice stored = m_choice.read();
    serverAddress->setAddress(stored.server);
    (stored.kind == ArchiveKind::Server ? optArchiveServer : optArchiveFile)->setChecked(true);
    showKind();
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showKind();
}

// The parts of the choice not taken are shown but cannot be edited; the repair works on files alone.
void frmOptions::showKind()
{
    const bool server = optArchiveServer->isChecked();
    frmGeneralParameter->setEnabled(!server);
    frmServer->setEnabled(server);
    cmdRepairDB->setEnabled(!server && (!repairEnvironment.session || IsAdministrator(*repairEnvironment.session)));
}

void frmOptions::onSelWorkDir()
{
    frmSelectDir selector(this);
    selector.setSelectedDir(txtWorkDir->text());
    selector.exec();
    if (!selector.SelectedDir().isEmpty())
        txtWorkDir->setText(selector.SelectedDir());
}

void frmOptions::onOK()
{
    const bool server = optArchiveServer->isChecked();
    if (server) {
        if (const QString problem = serverAddress->problem(); !problem.isEmpty()) {
            MessageService::inform(problem, MessageService::Icon::Exclamation, QString(), this);
            return;
        }
    }
    const ArchiveChoice stored = m_choice.read();
    ArchiveChoice chosen = stored;
    chosen.kind = server ? ArchiveKind::Server : ArchiveKind::File;
    if (server)
        chosen.server = serverAddress->address();
    const QString typed = txtWorkDir->text();
    const bool folderChanged = !server && !sameFolder(typed, m_access.read());
    const bool changed = folderChanged || chosen != stored;
    if (changed && !confirmChange(server || stored.kind == ArchiveKind::Server))
        return;
    if (server && !serverAddress->keepPassword(this))
        return;
    if (folderChanged)
        m_access.write(typed);
    if (chosen != stored)
        m_choice.write(chosen);
    if (changed && onReloadDatabase)
        onReloadDatabase();
    m_access.saveSettings();
    m_blnConfirmed = true;
    accept();
}

bool frmOptions::confirmChange(bool serverInvolved)
{
    const QString what = serverInvolved ? QStringLiteral("L'archivio e' cambiato.")
                                        : QStringLiteral("L'indirizzario di lavoro e' cambiato.");
    return MessageService::askYesNo(what + kConfirm, MessageService::Icon::Question, MessageService::Answer::Yes,
                                    QString(), this);
}

void frmOptions::onTestConnection()
{
    serverAddress->testConnection(this);
}

void frmOptions::onRepairDB()
{
    // The directory typed in the box, confirmed or not.
    RepairDatabase(txtWorkDir->text(), this, repairEnvironment);
}
