#pragma once
// Timing helpers shared by the benchmarks.

#include <QList>
#include <QtGlobal>
#include <functional>

// The middle sample once sorted.
double median(QList<double> samples);
// Wall-clock milliseconds that work takes.
double elapsedMs(const std::function<void()> &work);
// How many times a side is measured: BENCH_RUNS when set, else `usual` (3 at 1,000,000 payments).
int benchRuns(qint64 payments, int usual);
