#pragma once
// Output benchmarks: the HTML and CSV exports of the all-dates payments view against raw SQLite
// writing the same rows, and the PDF of the two reports; each side's peak resident memory is taken
// in a process of its own.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace objdb {
class DataContext;
}

struct OutputBench {
    QString archive;
    std::shared_ptr<objdb::DataContext> context;
    qint64 payments = 0;
    std::function<bool(const char *)> wanted; // whether an operation is measured in this run
};

// Runs html_export, csv_export and report_pdf.
void runOutputBenchmarks(const OutputBench &bench);

// "peak <operation> <side> <archive>": runs one side of one operation once in this process and
// prints "peak_kb=<n>", its peak resident memory.
int runPeakMeasurement(const QStringList &arguments);
