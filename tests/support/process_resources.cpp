#include "process_resources.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>

namespace korvex_test {
namespace {

#ifdef _WIN64
// One entry of the GDI handle table that the process environment block points to (the same
// layout on 64-bit Windows and in Wine).
struct GdiHandleEntry {
    std::uint64_t kernelObject;
    std::uint16_t processId;
    std::uint16_t count;
    std::uint16_t unique;
    std::uint8_t type;  // 0: a free entry
    std::uint8_t flags;
    std::uint64_t userObject;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleTableEntries = 0x10000;
constexpr std::size_t kPebGdiSharedHandleTable = 0xF8;

// Wine keeps a table of the process's own objects only.
int CountGdiHandleTable() {
    PROCESS_BASIC_INFORMATION info{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info,
                                    sizeof info, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
    const auto* table =
        *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiSharedHandleTable);
    if (table == nullptr) return -1;
    int live = 0;
    for (std::size_t i = 0; i < kGdiHandleTableEntries; ++i) live += table[i].type != 0;
    return live;
}
#endif

}  // namespace

int GdiObjectCount() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
#ifdef _WIN64
    return CountGdiHandleTable();
#else
    return -1;
#endif
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine fills only the page-file figure, which it takes from the process's private pages.
    return std::max<std::size_t>(counters.PrivateUsage, counters.PagefileUsage);
}

}  // namespace korvex_test
