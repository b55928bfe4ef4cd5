#include "desktop/frmInformative.h"
#include "desktop/namedwidgets.h"

#include "desktop/maker.h"
#include "services/messageservice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

frmInformative::Printing &printing()
{
    static frmInformative::Printing current;
    return current;
}

QString systemDefaultPrinter()
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        return QString();
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return printer.isNull() ? QPrinterInfo::availablePrinters().first().printerName() : printer.printerName();
}

// The image fills the printable page as far as its proportions allow.
void printOnSystemPrinter(const QImage &image)
{
    QPrinter printer(QPrinterInfo::printerInfo(systemDefaultPrinter()), QPrinter::HighResolution);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
    painter.end();
}

QLabel *textLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = desktop::namedLabel(parent, name, text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

void frmInformative::setPrinting(Printing p)
{
    printing() = std::move(p);
}

frmInformative::frmInformative(QWidget *parent, const QString &companyName) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInformative"));
    setWindowTitle(QStringLiteral("Informativa"));
    const QString company = companyName.isEmpty() ? QString::fromUtf8(Maker::kCompanyName) : companyName;

    lblDescription = textLabel(this, "lblDescription",
        QStringLiteral("Il presente software e l'eventuale materiale allegato sono di proprietà di %1 e non "
                       "possono essere ceduti, prestati né trasferiti a terzi, in alcuna forma e a nessun titolo.")
            .arg(company));
    lblResponsability = textLabel(this, "lblResponsability",
        QStringLiteral("Nei limiti consentiti dalla legge, %1 e i suoi fornitori non rispondono di alcun danno "
                       "speciale, incidentale, diretto o indiretto derivante dall'uso o dal mancato uso del "
                       "software, né dalla prestazione o dalla mancata prestazione dell'assistenza tecnica, anche "
                       "se avvertiti della possibilità di tali danni. %1 non si assume alcuna responsabilità per "
                       "le conseguenze di errori del sistema o di un uso non corretto del programma. Il software "
                       "è usato a rischio del cliente; il suo uso comporta l'accettazione incondizionata delle "
                       "presenti condizioni.")
            .arg(company));
    lblInformation1 = textLabel(this, "lblInformation1",
        QStringLiteral("Informativa sul trattamento dei dati personali ai sensi dell'art. 13 del Regolamento "
                       "(UE) 2016/679 (\"GDPR\") e del Codice in materia di protezione dei dati personali "
                       "(D.Lgs. 30 giugno 2003, n. 196, come modificato dal D.Lgs. 10 agosto 2018, n. 101): i "
                       "dati dell'utente sono conservati nell'archivio informatico di %1 e trattati da %1 e "
                       "dalle società a essa collegate esclusivamente per finalità amministrative e "
                       "commerciali e per l'invio di comunicazioni promozionali.")
            .arg(company));
    lblInformation2 = textLabel(this, "lblInformation2",
        QStringLiteral("In qualsiasi momento l'utente può esercitare i diritti previsti dagli articoli da 15 "
                       "a 22 del GDPR: accedere ai propri dati, chiederne la rettifica, l'aggiornamento o la "
                       "cancellazione, la limitazione del trattamento e la portabilità, e opporsi al "
                       "trattamento, in particolare a quello per finalità promozionali, scrivendo a %1. Ha "
                       "inoltre il diritto di proporre reclamo al Garante per la protezione dei dati personali.")
            .arg(company));

    cmdOk = desktop::namedButton(this, "cmdOk", QStringLiteral("&Accetto"));
    cmdCancel = desktop::namedButton(this, "cmdCancel", QStringLiteral("&Non accetto"));
    cmdPrint = desktop::namedButton(this, "cmdPrint", QStringLiteral("&Stampa"));
    connect(cmdOk, &QPushButton::clicked, this, &frmInformative::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPrint, &QPushButton::clicked, this, &frmInformative::cmdPrint_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    for (QLabel *label : {lblDescription, lblResponsability, lblInformation1, lblInformation2})
        layout->addWidget(label);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(560);
}

void frmInformative::hideAnswerButtons()
{
    cmdOk->hide();
    cmdCancel->hide();
}

void frmInformative::cmdOk_Click()
{
    m_blnAccepted = true;
    accept();
}

void frmInformative::cmdPrint_Click()
{
    const QString printer = printing().defaultPrinter ? printing().defaultPrinter() : systemDefaultPrinter();
    if (printer.isEmpty()) {
        MessageService::inform(QStringLiteral("Nessuna stampante definita"), MessageService::Icon::Exclamation, QString(), this);
        return;
    }
    if (!MessageService::askYesNo(QStringLiteral("Stampa della videata in <") + printer + QStringLiteral(">\n\nConfermi ?"),
                                  MessageService::Icon::Question, MessageService::Answer::Yes, QString(), this))
        return;
    const QImage image = grab().toImage();
    if (printing().print)
        printing().print(image);
    else
        printOnSystemPrinter(image);
}
