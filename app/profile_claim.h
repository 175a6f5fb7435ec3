// This copy's hold on its engine profile folder: an exclusive lock file inside it, open for
// the life of the process. The system closes it however the process ends (a crash or kill
// included), so a copy left behind by a crash frees its folder. Folders are never deleted.
#pragma once

#include <windows.h>

#include <string>

#include "base/scoped_handle.h"

namespace korvex {

class ProfileClaim {
  public:
    // The lock file's name inside the profile folder.
    static constexpr wchar_t kLockName[] = L"korvex.lock";

    // Claims the first free profile folder in directory (with its trailing backslash), creating
    // it when missing. False, and nothing held, when none could be claimed.
    bool Take(const std::wstring& directory);
    // The claimed folder's full path; empty until Take succeeded.
    const std::wstring& path() const { return path_; }

  private:
    ScopedHandle lock_;
    std::wstring path_;
};

}  // namespace korvex
