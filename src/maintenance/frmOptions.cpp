#include "maintenance/frmOptions.h"

#include "services/administratoronly.h"
#include "services/messageservice.h"
#include "maintenance/frmSelectDir.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

} // namespace

frmOptions::frmOptions(WorkDirAccess access, QWidget *parent)
    : QDialog(parent)
    , m_access(std::move(access))
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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frmGeneralParameter);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, 170);

    connect(cmdSelWorkDir, &QPushButton::clicked, this, &frmOptions::onSelWorkDir);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::onOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::reject);
    connect(cmdRepairDB, &QPushButton::clicked, this, &frmOptions::onRepairDB);

    txtWorkDir->setText(m_access.read());
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdRepairDB->setEnabled(!repairEnvironment.session || IsAdministrator(*repairEnvironment.session));
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
    const QString typed = txtWorkDir->text();
    if (!sameFolder(typed, m_access.read())) {
        const bool confirmed = MessageService::askYesNo(
            QStringLiteral("L'indirizzario di lavoro e' cambiato.") + QStringLiteral("\n\n")
                + QStringLiteral("Confermi ?"),
            MessageService::Icon::Question, MessageService::Answer::Yes, QString(), this);
        if (!confirmed)
            return;
        m_access.write(typed);
        if (onReloadDatabase)
            onReloadDatabase();
    }
    m_access.saveSettings();
    m_blnConfirmed = true;
    accept();
}

void frmOptions::onRepairDB()
{
    // The directory typed in the box, confirmed or not.
    RepairDatabase(txtWorkDir->text(), this, repairEnvironment);
}
