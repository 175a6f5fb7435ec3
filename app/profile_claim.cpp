#include "app/profile_claim.h"

#include "app/profile_chooser.h"

namespace korvex {

bool ProfileClaim::Take(const std::wstring& directory) {
    auto try_claim = [&](const std::wstring& name) {
        const std::wstring folder = directory + name;
        CreateDirectoryW(folder.c_str(), nullptr);  // exists on every start but the first
        // Shared with nobody: a second open fails while this copy (or another) holds it.
        ScopedHandle lock(CreateFileW((folder + L"\\" + kLockName).c_str(),
                                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!lock) {
            return GetLastError() == ERROR_SHARING_VIOLATION ? ProfileChooser::Claim::kHeld
                                                             : ProfileChooser::Claim::kUnusable;
        }
        lock_ = std::move(lock);
        path_ = folder;
        return ProfileChooser::Claim::kTaken;
    };
    return ProfileChooser::Choose(try_claim).has_value();
}

}  // namespace korvex
