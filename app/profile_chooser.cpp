#include "app/profile_chooser.h"

namespace korvex {

std::wstring ProfileChooser::FolderName(int copy) {
    return copy <= 1 ? std::wstring(L"cache") : L"cache-" + std::to_wstring(copy);
}

std::optional<std::wstring> ProfileChooser::Choose(const TryClaim& try_claim) {
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        std::wstring name = FolderName(copy);
        switch (try_claim(name)) {
            case Claim::kTaken:
                return name;
            case Claim::kHeld:
                continue;
            case Claim::kUnusable:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace korvex
