// Which engine profile a running copy of Korvex takes: the first copy "cache" beside the
// executable, a copy that finds it held the first free sibling, "cache-2", "cache-3", ...
// Free of Win32: the claim itself (ProfileClaim) is given as a function.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace korvex {

class ProfileChooser {
  public:
    enum class Claim {
        kTaken,     // the folder is this copy's now
        kHeld,      // another running copy holds it: try the next
        kUnusable,  // it cannot be made or claimed for another reason: neither can its siblings
    };
    using TryClaim = std::function<Claim(const std::wstring& folder_name)>;

    // More copies than this at once is not a player's use; the profile is then a fresh one.
    static constexpr int kMostCopies = 64;

    // The name of copy's profile folder, counting from 1: "cache", then "cache-<copy>".
    static std::wstring FolderName(int copy);
    // Tries the names in order until one is taken; none when every name up to kMostCopies is
    // held, or one is unusable.
    static std::optional<std::wstring> Choose(const TryClaim& try_claim);
};

}  // namespace korvex
