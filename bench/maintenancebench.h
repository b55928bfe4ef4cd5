#pragma once
// Maintenance benchmarks: the repair of the archive against raw SQLite's VACUUM INTO of the same
// file (and, as repair_same_work, with the engine's check of the copy too), and the import of every payment of the archive into an empty one against raw SQLite's
// ATTACH + INSERT ... SELECT of the same rows.

#include <QString>
#include <functional>

struct MaintenanceBench {
    QString archive; // read only: the benchmarks work on copies
    qint64 payments = 0;
    std::function<void(const char *, qint64, const std::function<void()> &, const std::function<void()> &)> measure;
    std::function<bool(const char *)> wanted; // whether an operation is measured in this run
};

// Runs repair, repair_same_work and import_payments.
void runMaintenanceBenchmarks(const MaintenanceBench &bench);
