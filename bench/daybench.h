#pragma once
// The operator's day: the totals band's sums for one month and for all dates, and the closing
// summary of a day in the middle, of the last day and of a month, against raw SQLite's aggregates
// over the same rows.

#include <QString>
#include <functional>
#include <memory>

namespace objdb {
class DataContext;
class Database;
}

struct DayBench {
    QString archive;
    std::shared_ptr<objdb::DataContext> context;
    std::shared_ptr<objdb::Database> database;
    qint64 payments = 0;
    std::function<void(const char *, qint64, const std::function<void()> &, const std::function<void()> &)> measure;
    std::function<bool(const char *)> wanted;
};

// Runs totals_band_month, totals_band_all and closing_summary_day, _last_day and _month.
void runDayBenchmarks(const DayBench &bench);
