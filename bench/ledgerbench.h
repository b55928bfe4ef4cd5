#pragma once
// Maintenance benchmarks: the Euro conversion, the purge of settled payments and the check of the
// archive, each against raw SQLite doing the same work on a copy of the same archive.

#include <QString>
#include <functional>

struct LedgerBench {
    QString archive;
    qint64 payments = 0;
    std::function<bool(const char *)> wanted; // whether an operation is measured in this run
};

// Runs euro_conversion, euro_outstanding, purge_settled and integrity_check.
void runLedgerBenchmarks(const LedgerBench &bench);
