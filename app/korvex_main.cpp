// Korvex's entry point. The application object and its windows come in with their own changes;
// until then the program starts and ends at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
