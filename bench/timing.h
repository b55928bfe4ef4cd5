#pragma once
// Timing helpers shared by the benchmarks.

#include <QList>
#include <functional>

// The middle sample once sorted.
double median(QList<double> samples);
// Wall-clock milliseconds that work takes.
double elapsedMs(const std::function<void()> &work);
