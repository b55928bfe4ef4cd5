#pragma once
// How long the main window stops answering while it does what its user asked, and how long until
// the answer is on screen: one line per interaction, each driven through the window as its user
// drives it (clicks, keys, menu items, the modal windows answered by script), against raw SQLite's
// best reads for the same answer.
//
//   stall_<interaction> payments=<N> window_stall_max_ms=<x> answer_ms=<y> raw_ms=<z>

#include <memory>

namespace objdb {
class Database;
}
struct GridBench;

void runStallBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database);
