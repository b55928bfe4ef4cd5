#include "output/frmClosingSummary.h"

#include "output/outputdialogs.h"
#include "output/reportdevice.h"

#include "services/errorreport.h"
#include "views/frmDateSetting.h"

#include "objdb/backgroundread.h"
#include "objdb/database.h"
#include "objdb/error.h"
#include "objdb/report/paintercanvas.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace output {

namespace {

QPushButton *addButton(QDialogButtonBox *box, const char *name, const QString &text, QDialogButtonBox::ButtonRole role)
{
    QPushButton *button = box->addButton(text, role);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmClosingSummary::frmClosingSummary(std::shared_ptr<objdb::Database> database, const QDate &from,
                                     const QDate &to, bool anyDay, QWidget *owner)
    : QDialog(owner), m_database(std::move(database)), m_read(std::make_unique<objdb::BackgroundRead>(this))
{
    setObjectName(QStringLiteral("frmClosingSummary"));
    lblPeriod = new QLabel(this);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    QFont bold = lblPeriod->font();
    bold.setBold(true);
    lblPeriod->setFont(bold);
    lstSummary = new QTreeWidget(this);
    lstSummary->setObjectName(QStringLiteral("lstSummary"));
    lstSummary->setColumnCount(2);
    lstSummary->setHeaderLabels({QStringLiteral("Voce"), QStringLiteral("Valore")});
    lstSummary->setRootIsDecorated(false);
    lstSummary->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstSummary->header()->setStretchLastSection(false);
    lstSummary->setMinimumSize(420, 360);

    auto *buttons = new QDialogButtonBox(this);
    cmdDay = addButton(buttons, "cmdDay", QStringLiteral("Altro &giorno..."), QDialogButtonBox::ActionRole);
    cmdPrint = addButton(buttons, "cmdPrint", QStringLiteral("&Stampa..."), QDialogButtonBox::ActionRole);
    cmdExport = addButton(buttons, "cmdExport", QStringLiteral("&Esporta PDF..."), QDialogButtonBox::ActionRole);
    QPushButton *close = addButton(buttons, "cmdClose", QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    connect(cmdDay, &QPushButton::clicked, this, [this] { RunReportingFailures([this] { cmdDay_Click(); }); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { RunReportingFailures([this] { cmdPrint_Click(); }); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { RunReportingFailures([this] { cmdExport_Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPeriod);
    layout->addWidget(lstSummary);
    layout->addWidget(buttons);
    // After the box has laid out its buttons, which shows them.
    cmdDay->setVisible(anyDay);
    load(from, to);
}

frmClosingSummary::~frmClosingSummary() = default;

// A newer day drops the read still running for the previous one (BackgroundRead::start).
void frmClosingSummary::load(const QDate &from, const QDate &to)
{
    m_from = from;
    m_to = to;
    const QString heading = ClosingHeadingFor(from, to).text();
    setWindowTitle(heading);
    lblPeriod->setText(heading);
    if (!objdb::BackgroundRead::canReadApart(*m_database)) {
        m_read->stop();
        showSummary(ComputeClosingSummary(*m_database, from, to));
        return;
    }
    m_summary = ClosingSummary();
    cmdPrint->setEnabled(false);
    cmdExport->setEnabled(false);
    showLines({{QStringLiteral("Calcolo in corso..."), {}}});
    m_read->start<ClosingSummary>(
        m_database->path(), [from, to](objdb::Database &db) { return ComputeClosingSummary(db, from, to); },
        [this](ClosingSummary summary) { showSummary(summary); },
        [this](const objdb::Error &error) {
            showLines({{QStringLiteral("Calcolo non riuscito"), {{error.description(), QString()}}}});
        });
}

void frmClosingSummary::showSummary(const ClosingSummary &summary)
{
    m_summary = summary;
    showLines(ClosingSummarySections(m_summary));
    cmdPrint->setEnabled(true);
    cmdExport->setEnabled(true);
}

void frmClosingSummary::showLines(const QList<objdb::report::SummarySection> &sections)
{
    lstSummary->clear();
    for (const objdb::report::SummarySection &section : sections) {
        auto *heading = new QTreeWidgetItem(lstSummary, {section.title});
        QFont bold = heading->font(0);
        bold.setBold(true);
        heading->setFont(0, bold);
        for (const objdb::report::SummaryLine &line : section.lines) {
            auto *item = new QTreeWidgetItem(lstSummary, {QStringLiteral("    ") + line.label, line.value});
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    lstSummary->resizeColumnToContents(1);
}

objdb::report::Design frmClosingSummary::design() const
{
    const ClosingHeading heading = ClosingHeadingFor(m_from, m_to);
    objdb::report::Design design;
    design.name = QStringLiteral("drChiusuraGiornata");
    design.title = heading.text();
    design.header = {heading.kind, heading.period, QStringLiteral("Stampata il %d")};
    design.printDate = QDate::currentDate();
    return design;
}

void frmClosingSummary::cmdDay_Click()
{
    const QVariant chosen = frmDateSetting::SetDate(m_from, -1, -1, this);
    if (chosen.isValid())
        load(chosen.toDate(), chosen.toDate());
}

void frmClosingSummary::cmdPrint_Click()
{
    const objdb::report::Design summaryDesign = design();
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer, summaryDesign);
    if (!dialogs().print(printer, this))
        return;
    objdb::report::PainterCanvas canvas(printer, summaryDesign.faces);
    objdb::report::RenderSummary(summaryDesign, ClosingSummarySections(m_summary), canvas);
    canvas.end();
}

void frmClosingSummary::cmdExport_Click()
{
    const objdb::report::Design summaryDesign = design();
    const ClosingHeading heading = ClosingHeadingFor(m_summary.from, m_summary.to);
    ExportReportPdf(this, summaryDesign, heading.kind + QLatin1Char(' ') + heading.dates,
                    [&](QPagedPaintDevice &device) {
                        objdb::report::PainterCanvas canvas(device, summaryDesign.faces);
                        objdb::report::RenderSummary(summaryDesign, ClosingSummarySections(m_summary), canvas);
                        return canvas.end();
                    });
}

} // namespace output
