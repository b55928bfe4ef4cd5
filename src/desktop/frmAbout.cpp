#include "desktop/frmAbout.h"
#include "desktop/namedwidgets.h"

#include "desktop/frmInformative.h"
#include "desktop/supportcontacts.h"
#include "desktop/modOSWinUtil.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

frmAbout::ProgramStarter &programStarter()
{
    static frmAbout::ProgramStarter starter;
    return starter;
}

bool startProgram(const QString &program)
{
    return programStarter() ? programStarter()(program) : QProcess::startDetached(program, {});
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Informazioni"));

    auto *logo = desktop::namedLabel(this, "imgLogo", QString());
    logo->setPixmap(QPixmap(QStringLiteral(":/cobrelle.png")).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblTitle = desktop::namedLabel(this, "lblTitle", QString::fromLatin1(modGlobal::kProductName));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = desktop::namedLabel(this, "lblVersion", VersionText());
    lblDescription = desktop::namedLabel(this, "lblDescription",
                           QStringLiteral("Cassa incassi: movimenti, pagamenti e sospesi dei collaboratori"));
    lblDescription->setWordWrap(true);
    const SupportContacts contacts = SupportContacts::Read();
    lblWeb = desktop::namedLabel(this, "lblWeb", contacts.web);
    lblWeb->setTextFormat(Qt::RichText);
    lblWeb->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(QUrl::fromUserInput(contacts.web).toString().toHtmlEscaped(), contacts.web.toHtmlEscaped()));
    lblWeb->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(lblWeb, &QLabel::linkActivated, this, [](const QString &link) { modOSWinUtil::ShellOpenDocument(link); });
    imgEuro = desktop::namedLabel(this, "imgEuro", QStringLiteral("€"));
    lblEuroReady = desktop::namedLabel(this, "lblEuroReady", QStringLiteral("Euro ready"));
    Label1 = desktop::namedLabel(this, "Label1", QStringLiteral("Powered By:"));
    imgMarvessa = desktop::namedButton(this, "imgMarvessa",
                                       contacts.name.isEmpty() ? QStringLiteral("Assistenza") : contacts.name);
    imgMarvessa->setFlat(true);
    imgMarvessa->setCursor(Qt::PointingHandCursor);
    connect(imgMarvessa, &QPushButton::clicked, this, &frmAbout::imgMarvessa_Click);
    // Only the contacts this desk was given: none at all, no contact part.
    lblWeb->setVisible(!contacts.web.isEmpty());
    Label1->setVisible(!contacts.isEmpty());
    imgMarvessa->setVisible(!contacts.isEmpty());

    cmdOK = desktop::namedButton(this, "cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdSysInfo = desktop::namedButton(this, "cmdSysInfo", QStringLiteral("&Info di sistema..."));
    cmdSysInfo->setToolTip(QStringLiteral("Visualizza le informazioni di sistema"));
    cmdInformativa = desktop::namedButton(this, "cmdInformativa", QStringLiteral("&Informativa..."));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(cmdInformativa, &QPushButton::clicked, this, &frmAbout::cmdInformativa_Click);

    auto *grid = new QGridLayout;
    grid->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 2);
    grid->addWidget(lblVersion, 1, 1, 1, 2);
    grid->addWidget(lblDescription, 2, 1, 1, 2);
    grid->addWidget(lblWeb, 3, 1, 1, 2);
    auto *euro = new QHBoxLayout;
    euro->addWidget(imgEuro);
    euro->addWidget(lblEuroReady);
    euro->addStretch(1);
    grid->addLayout(euro, 4, 1, 1, 2);
    grid->addWidget(Label1, 5, 1);
    grid->addWidget(imgMarvessa, 5, 2, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdInformativa);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setMinimumWidth(440);
}

QString frmAbout::VersionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(COBRELLE_VERSION_MAJOR).arg(COBRELLE_VERSION_MINOR).arg(COBRELLE_VERSION_PATCH);
}

void frmAbout::imgMarvessa_Click()
{
    MessageService::inform(SupportContacts::Read().lines().join(QLatin1Char('\n')), MessageService::Icon::Information,
                           QString(), this);
}

void frmAbout::cmdInformativa_Click()
{
    frmInformative notice(QApplication::activeWindow() ? QApplication::activeWindow() : this);
    notice.hideAnswerButtons();
    notice.exec();
}

QStringList frmAbout::SysInfoCandidates()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("xfce4-taskmanager"), QStringLiteral("lxtask")};
}

void frmAbout::StartSysInfo()
{
    QString program;
    if (!GetKeyValue(QString::fromLatin1(modGlobal::kProductName), QStringLiteral("Tools"), QStringLiteral("SysInfoPath"), program)
        || !QFileInfo(program).isExecutable()) {
        program.clear();
        for (const QString &candidate : SysInfoCandidates()) {
            program = QStandardPaths::findExecutable(candidate);
            if (!program.isEmpty())
                break;
        }
    }
    if (program.isEmpty() || !startProgram(program))
        MessageService::inform(QStringLiteral("System Information Is Unavailable At This Time"), MessageService::Icon::None,
                               QString(), this);
}

bool frmAbout::GetKeyValue(const QString &KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, KeyRoot, KeyRoot);
    const QString key = KeyName + QLatin1Char('/') + SubKeyRef;
    if (!store.contains(key))
        return false;
    KeyVal = store.value(key).toString();
    return true;
}

void frmAbout::setProgramStarter(ProgramStarter starter)
{
    programStarter() = std::move(starter);
}
