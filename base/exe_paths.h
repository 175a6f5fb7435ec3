// Where the running executable lives, and its name. Win32.
#pragma once

#include <windows.h>

#include <string>

// The executable's directory with a trailing backslash; computed on the first call from a
// module path of at most 260 units, then returned from a process-wide buffer.
const wchar_t* GetExeDirectory();

// The executable's file name without its directory, at most 50 characters; computed on the
// first call, then returned from a process-wide buffer.
const wchar_t* GetExeFileName();

// True when the path names an existing file that is not a directory.
bool FileExists(const wchar_t* path);

namespace korvex {

// The application's name: the executable's file name without its extension. The caption of
// message boxes that have none of their own.
const wchar_t* GetAppName();

// The executable's full path, whatever its length.
std::wstring GetExePath();

}  // namespace korvex
