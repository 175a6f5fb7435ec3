// A test program that needs files beside its own executable (Korvex's launcher reads
// sysctrl.dat from there) runs as a copy in a fresh folder of its own, so tests running in
// parallel never share one.
#pragma once

#include <string>

namespace korvex_test {

// Run first thing in main: when this is the built program, copies it into a new folder, runs
// the copy with the same arguments and returns the copy's exit code; in the copy, returns -1 and
// the program goes on.
int RunAsScratchCopy(int argc, wchar_t** argv);

// Runs exe in folder with the same arguments (argv[0] replaced by exe) and marker=1 added to the
// environment, standard handles shared; its exit code (2 when it could not be started).
int RunAgain(const std::wstring& exe, const std::wstring& folder, const wchar_t* marker, int argc,
             wchar_t** argv);

}  // namespace korvex_test
