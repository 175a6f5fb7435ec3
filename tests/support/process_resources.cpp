#include "process_resources.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>

namespace korvex_test {
namespace {

// One entry of the GDI handle table that the process environment block points to. Wine keeps
// it with 64-bit fields in both builds, so one table serves a 64-bit process and the 32-bit
// processes beside it; it holds the process's own objects only.
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

// The table, or null. A 64-bit process finds it in its process environment block. A 32-bit one
// under 64-bit Wine (WoW64) finds it in the 64-bit block, whose thread block Wine names in the
// 32-bit thread block's GdiBatchCount.
const GdiHandleEntry* GdiHandleTable() {
#ifdef _WIN64
    PROCESS_BASIC_INFORMATION info{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info,
                                    sizeof info, nullptr) != 0)
        return nullptr;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
#else
    constexpr std::size_t kTeb32GdiBatchCount = 0xF70, kTeb64Peb = 0x60,
                          kPeb64GdiSharedHandleTable = 0xF8;
    // The headers read the thread block through the FS segment at a constant address, which
    // GCC's bounds check takes for an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* teb = reinterpret_cast<const std::uint8_t*>(::NtCurrentTeb());
#pragma GCC diagnostic pop
    const std::uint32_t teb64 = *reinterpret_cast<const std::uint32_t*>(teb + kTeb32GdiBatchCount);
    if (teb64 == 0) return nullptr;
    const std::uint64_t peb64 =
        *reinterpret_cast<const std::uint64_t*>(static_cast<std::uintptr_t>(teb64) + kTeb64Peb);
    if (peb64 == 0 || peb64 > UINT32_MAX) return nullptr;
    const std::uint64_t table = *reinterpret_cast<const std::uint64_t*>(
        static_cast<std::uintptr_t>(peb64) + kPeb64GdiSharedHandleTable);
    if (table > UINT32_MAX) return nullptr;
    return reinterpret_cast<const GdiHandleEntry*>(static_cast<std::uintptr_t>(table));
#endif
}

int CountGdiHandleTable() {
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) return -1;
    int live = 0;
    for (std::size_t i = 0; i < kGdiHandleTableEntries; ++i) live += table[i].type != 0;
    return live;
}

}  // namespace

int GdiObjectCount() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    return CountGdiHandleTable();
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
