#include "timing.h"
#include "outputbench.h"

#include "rawexport.h"

#include "data/DB.h"
#include "output/reports.h"
#include "views/sectionview.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/export/exportwriter.h"
#include "objdb/report/paintercanvas.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// The all-dates "Pagamenti" view as the main window opens it.
std::shared_ptr<objdb::DataSource> paymentsView(objdb::DataContext &context)
{
    SectionViewRequest request;
    request.query = SectionQueryFor(QStringLiteral("Pagamenti"));
    return OpenSectionView(context, request);
}

int libraryExport(objdb::DataContext &context, objdb::ExportFormat format, const QString &file)
{
    const auto ds = paymentsView(context);
    objdb::ExportOptions options;
    options.format = format;
    options.title = QStringLiteral("Pagamenti");
    return objdb::ExportData(*ds, file, options);
}

struct ReportRun {
    int pages = 0;
    int rows = 0;
};

// "Sospesi" whole, or "Mov. per Collaboratori" for June 2024, to a PDF file.
ReportRun libraryReport(objdb::DataContext &context, const QString &key, const QString &file)
{
    SectionViewRequest request;
    request.query = SectionQueryFor(key);
    QString period;
    if (key == QLatin1String("Mov. per Collaboratori")) {
        request.periodFrom = QDate(2024, 6, 1);
        request.periodTo = QDate(2024, 6, 30);
        period = PeriodCaptionFor(*request.periodFrom, *request.periodTo);
    }
    const auto ds = OpenSectionView(context, request);
    const auto design = output::DesignFor(output::ReportFor(ds->TableName(), key), key, period, QDate::currentDate());
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), design.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    objdb::report::PainterCanvas canvas(writer, design.faces);
    const auto result = objdb::report::Render(*ds, design, canvas, nullptr);
    canvas.end();
    return {result.pages, result.rows};
}

// The first lines of a file written by the library, which the raw side writes as they are.
QByteArray headOf(const QString &file, RawExport::Format format)
{
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    const QByteArray end = format == RawExport::Format::Html ? QByteArray("<tbody>\n") : QByteArray("\r\n");
    return bytes.left(bytes.indexOf(end) + end.size());
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) && fa.readAll() == fb.readAll();
}

// Runs the side in a process of its own and returns its peak resident memory in kB (-1 on failure).
// The library's side opens a copy: this process holds the archive, which the library opens for one
// program only.
long peakOf(const char *operation, const char *side, const QString &archive)
{
    QTemporaryDir dir;
    QString file = archive;
    if (qstrcmp(side, "cobrelle") == 0) {
        file = dir.filePath(QStringLiteral("copy.mdb"));
        QFile::copy(archive, file);
    }
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("peak"), QLatin1String(operation), QLatin1String(side), file});
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        std::fprintf(stderr, "%s %s: %s\n", operation, side, child.readAllStandardError().constData());
    const QString output = QString::fromLatin1(child.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("peak_kb=(\\d+)")).match(output);
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

long ownPeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto match = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

void measureExport(const OutputBench &bench, const char *operation, objdb::ExportFormat format)
{
    const RawExport::Format rawFormat = format == objdb::ExportFormat::Html ? RawExport::Format::Html : RawExport::Format::Csv;
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString raw = dir.filePath(QStringLiteral("raw"));
    // Warm-up, and the check that both sides write the same bytes.
    libraryExport(*bench.context, format, ours);
    const QByteArray head = headOf(ours, rawFormat);
    RawExport::write(bench.archive, raw, rawFormat, head);
    if (!sameBytes(ours, raw)) {
        std::fprintf(stderr, "%s: the raw side's file differs from the library's\n", operation);
        return;
    }
    QList<double> oursMs, rawMs;
    for (int i = 0, n = benchRuns(bench.payments, 7); i < n; ++i) {
        oursMs.append(elapsedMs([&] { libraryExport(*bench.context, format, ours); }));
        rawMs.append(elapsedMs([&] { RawExport::write(bench.archive, raw, rawFormat, head); }));
    }
    const double oursMedian = median(oursMs), rawMedian = median(rawMs);
    std::printf("%s payments=%lld cobrelle_ms=%.1f raw_ms=%.1f ratio=%.2f cobrelle_peak_kb=%ld raw_peak_kb=%ld "
                "file_kb=%lld\n",
                operation, static_cast<long long>(bench.payments), oursMedian, rawMedian,
                rawMedian > 0 ? oursMedian / rawMedian : 0.0, peakOf(operation, "cobrelle", bench.archive),
                peakOf(operation, "raw", bench.archive), static_cast<long long>(QFile(ours).size() / 1024));
    std::fflush(stdout);
}

void measureReport(const OutputBench &bench, const char *operation, const QString &key)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    ReportRun run = libraryReport(*bench.context, key, file); // warm-up
    QList<double> ms;
    for (int i = 0, n = std::min(3, benchRuns(bench.payments, 7)); i < n; ++i)
        ms.append(elapsedMs([&] { run = libraryReport(*bench.context, key, file); }));
    const double time = median(ms);
    std::printf("%s payments=%lld rows=%d pages=%d cobrelle_ms=%.1f pages_per_s=%.1f cobrelle_peak_kb=%ld file_kb=%lld\n",
                operation, static_cast<long long>(bench.payments), run.rows, run.pages, time,
                time > 0 ? run.pages * 1000.0 / time : 0.0, peakOf(operation, "cobrelle", bench.archive),
                static_cast<long long>(QFile(file).size() / 1024));
    std::fflush(stdout);
}

} // namespace

void runOutputBenchmarks(const OutputBench &bench)
{
    if (bench.wanted("html_export"))
        measureExport(bench, "html_export", objdb::ExportFormat::Html);
    if (bench.wanted("csv_export"))
        measureExport(bench, "csv_export", objdb::ExportFormat::Csv);
    if (bench.payments <= 100000) {
        if (bench.wanted("report_pdf_sospesi"))
            measureReport(bench, "report_pdf_sospesi", QStringLiteral("Sospesi"));
        if (bench.wanted("report_pdf_collaboratori_month"))
            measureReport(bench, "report_pdf_collaboratori_month", QStringLiteral("Mov. per Collaboratori"));
    }
}

int runPeakMeasurement(const QStringList &arguments)
{
    if (arguments.size() != 3)
        return 2;
    const QString operation = arguments.at(0);
    const QString archive = arguments.at(2);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out"));
    if (arguments.at(1) == QLatin1String("raw")) {
        RawExport::write(archive, file, operation == QLatin1String("csv_export") ? RawExport::Format::Csv : RawExport::Format::Html,
                         QByteArray());
    } else {
        auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
        auto db = objdb::Database::create();
        db->Open(objdb::kDatabaseFormat, archive);
        context->Attach(db);
        if (operation == QLatin1String("html_export"))
            libraryExport(*context, objdb::ExportFormat::Html, file);
        else if (operation == QLatin1String("csv_export"))
            libraryExport(*context, objdb::ExportFormat::Csv, file);
        else if (operation == QLatin1String("report_pdf_sospesi"))
            libraryReport(*context, QStringLiteral("Sospesi"), file);
        else
            libraryReport(*context, QStringLiteral("Mov. per Collaboratori"), file);
    }
    std::printf("peak_kb=%ld\n", ownPeakKb());
    return 0;
}
