#pragma once
// Benchmarks through the main window itself: the grid as the user drives it.

#include <memory>

namespace objdb {
class Database;
}
struct GridBench;

// Runs, through the main window on the all-dates payments view, grid_sort_first_screen (two clicks
// on the header of "Contanti", a column without an index) and grid_header_click_twice (two clicks on
// the header of the date column), each click until the grid has painted its screen again.
void runWindowBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database);
