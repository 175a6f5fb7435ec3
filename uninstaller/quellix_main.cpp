// Quellix, the uninstaller. Its procedure comes in with its own change.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
