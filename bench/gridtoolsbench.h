#pragma once
// Grid tools against raw SQLite: a column filter's first screen, "Cerca successivo" from the top and
// from the middle of the view, column totals and averages, a saved complex filter's first screen.

struct GridBench;

// Runs filter_first_screen, search_next_top, search_next_mid, total_column, total_column_month,
// average_column, average_column_month and complex_filter_first_screen.
void runGridToolsBenchmarks(const GridBench &bench);
