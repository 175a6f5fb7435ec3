// A test program that runs on a high-DPI display: the run's own Wine prefix is set to a DPI
// (LogPixels, as the display settings write it) and the program runs again, DPI-aware, in a
// process that reads that DPI from its start.
#pragma once

namespace korvex_test {

// Run first thing in main. In the first process: writes dpi into the prefix's registry, runs
// the program again with the same arguments and returns that run's exit code. In the second:
// declares the process DPI-aware (as Korvex's manifest does) and returns -1; the program goes
// on.
int RunAtDpi(int dpi, int argc, wchar_t** argv);

}  // namespace korvex_test
