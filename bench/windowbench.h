#pragma once
// Benchmarks through the main window itself: the grid as the user drives it.

#include <memory>

namespace objdb {
class Database;
}
struct GridBench;

// Runs grid_header_click_twice: two clicks on the header of the payments' date column of the
// all-dates view, each until the grid has painted its screen again.
void runWindowBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database);
