// The process entry of a framework program (linked with -municode). Kept in its own object
// file so that programs with an entry point of their own never pull it in.
#include "afx/app.h"

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    return CWinApp::Main(hInstance, lpCmdLine, nCmdShow);
}
