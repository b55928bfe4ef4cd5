#pragma once
// Grid benchmarks: a paged grid model over the payments view against raw SQLite doing the same reads.

#include <QString>
#include <functional>
#include <memory>

namespace objdb {
class DataContext;
class GridModel;
}
class RawQuery;

struct GridBench {
    std::shared_ptr<objdb::DataContext> context;
    RawQuery &raw;
    QString fieldList;
    qint64 payments = 0;
    // Times the library's work against raw SQLite's, alternately, and prints the line of the operation.
    std::function<void(const char *, qint64, const std::function<void()> &, const std::function<void()> &)> measure;
    std::function<bool(const char *)> wanted; // whether an operation is measured in this run
    int runs = 21;                            // timed runs of an operation measured apart
};

// Runs grid_first_screen, grid_scroll_to_last, grid_sort_unindexed and grid_restore_current.
void runGridBenchmarks(const GridBench &bench);

// Lets the window's thread take what the model reads on threads of its own (its first screen, its
// keys) until it has all it asked for: the answer a user waits for.
void waitUntilAnswered(objdb::GridModel &model);
