// A test program that needs files beside its own executable (Korvex's launcher reads
// sysctrl.dat from there) runs as a copy in a fresh folder of its own, so tests running in
// parallel never share one.
#pragma once

namespace korvex_test {

// Run first thing in main: when this is the built program, copies it into a new folder, runs
// the copy with the same arguments and returns the copy's exit code; in the copy, returns -1 and
// the program goes on.
int RunAsScratchCopy(int argc, wchar_t** argv);

}  // namespace korvex_test
