#include "services/frmShowException.h"

#include "services/configuration.h"
#include "services/messageservice.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QVBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

namespace {

const QString kErrorPage = QStringLiteral("Error.htm");
const QString kLastError = QStringLiteral("LastError.txt");

void showFailure(QWidget *parent, const QString &description)
{
    MessageService::inform(description, MessageService::Icon::None, QStringLiteral("ERRORE"), parent);
}

// The whole text as one line of the file: "Error: ", the code, the text, a line end.
QByteArray reportLine(const QString &code, const QString &message)
{
    return (QStringLiteral("Error: ") + code + message + QLatin1Char('\n')).toUtf8();
}

bool writeFile(const QString &path, const QByteArray &content, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()
        || !file.flush()) {
        *error = QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

frmShowException::frmShowException(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmShowException"));
    setWindowTitle(QStringLiteral("Visualizzazione Errore"));
    setModal(true);

    auto *codeCaption = new QLabel(QStringLiteral("Codice:"), this);
    lblCode = new QLabel(this);
    lblCode->setObjectName(QStringLiteral("lblCode"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    lblCode->setFont(fixed);
    lblCode->setTextInteractionFlags(Qt::TextSelectableByMouse);

    txtMsg = new QPlainTextEdit(this);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setReadOnly(true);

    cmdBrowser = new QPushButton(QStringLiteral("&Browser"), this);
    cmdBrowser->setObjectName(QStringLiteral("cmdBrowser"));
    cmdBrowser->setToolTip(QStringLiteral("Visualizza il messaggio nel Browser HTML predefinito"));
    cmdSave = new QPushButton(QStringLiteral("&Salva..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Salva il messaggio di errore in un file di testo"));
    cmdSupport = new QPushButton(QStringLiteral("S&upporto"), this);
    cmdSupport->setObjectName(QStringLiteral("cmdSupport"));
    cmdSupport->setToolTip(QStringLiteral("Spedisce il messaggio di errore al supporto tramite posta elettronica"));
    // Without an address set in the configuration there is nobody to write to: no address is made up.
    cmdSupport->setEnabled(!supportEmail().isEmpty());
    cmdEsc = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdEsc->setObjectName(QStringLiteral("cmdEsc"));
    for (QPushButton *button : {cmdBrowser, cmdSave, cmdSupport})
        button->setAutoDefault(false);
    cmdEsc->setDefault(true);

    connect(cmdBrowser, &QPushButton::clicked, this, &frmShowException::cmdBrowser_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmShowException::cmdSave_Click);
    connect(cmdSupport, &QPushButton::clicked, this, &frmShowException::cmdSupport_Click);
    connect(cmdEsc, &QPushButton::clicked, this, &QDialog::reject);

    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(codeCaption);
    codeRow->addWidget(lblCode, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBrowser);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdSupport);
    buttons->addStretch(1);
    buttons->addWidget(cmdEsc);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(codeRow);
    layout->addWidget(txtMsg, 1);
    layout->addLayout(buttons);
    resize(560, 360);
}

void frmShowException::SetException(const QString &sCode, const QString &sMessage)
{
    m_strCode = sCode;
    lblCode->setText(sCode);
    m_strMessage = sMessage;
    if (!sMessage.contains(QLatin1String("\r\n")))
        m_strMessage.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    txtMsg->setPlainText(m_strMessage);
}

QString frmShowException::supportEmail()
{
    return Settings::readText(QStringLiteral("Configuration"), QStringLiteral("SupportEmail"), QString()).trimmed();
}

QUrl frmShowException::supportMailUrl(const QString &code, const QString &message)
{
    const QString body = QStringLiteral("Error: ") + code + message;
    const QByteArray link = "mailto:" + QUrl::toPercentEncoding(supportEmail(), "@+") + "?subject="
                            + QUrl::toPercentEncoding(QStringLiteral("SUPPORT REQUEST")) + "&body="
                            + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(link, QUrl::StrictMode);
}

bool frmShowException::open(const QUrl &url)
{
    return openUrl ? openUrl(url) : QDesktopServices::openUrl(url);
}

void frmShowException::cmdBrowser_Click()
{
    // The text is shown as text: escaped inside a preformatted block of a small page.
    const QString page = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                                        "<title>Visualizzazione Errore</title>\n</head>\n<body>\n<pre>")
                         + m_strMessage.toHtmlEscaped() + QStringLiteral("</pre>\n</body>\n</html>\n");
    const QString path = BuildFilePath(ProgramFolder(), kErrorPage, QString());
    QString error;
    if (!writeFile(path, page.toUtf8(), &error)) {
        showFailure(this, error);
        return;
    }
    if (!open(QUrl::fromLocalFile(path)))
        showFailure(this, QStringLiteral("Impossibile aprire il file \"%1\".").arg(path));
}

void frmShowException::cmdSave_Click()
{
    const QString proposed = BuildFilePath(ProgramFolder(), kLastError, QString());
    const QString filter = QStringLiteral("Testo (*.txt)");
    const QString path = chooseSaveFile
                             ? chooseSaveFile(this, proposed, filter)
                             : QFileDialog::getSaveFileName(this, QString(), proposed, filter, nullptr,
                                                            QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path)
        && !MessageService::askYesNo(QStringLiteral("Il file esiste già...\n\nVuoi sostituirlo ?"),
                                     MessageService::Icon::Exclamation, MessageService::Answer::No,
                                     QStringLiteral("ATTENZIONE"), this))
        return;
    QString error;
    if (!writeFile(path, reportLine(m_strCode, m_strMessage), &error))
        showFailure(this, error);
}

void frmShowException::cmdSupport_Click()
{
    open(supportMailUrl(m_strCode, m_strMessage)); // no answer from a mail program is not reported
}
