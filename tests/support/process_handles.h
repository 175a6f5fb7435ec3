// How many kernel handles this process holds, read from the system's handle list
// (GetProcessHandleCount answers 0 under Wine). 0 when the list cannot be read.
#pragma once

#include <windows.h>

#include <vector>

namespace korvex_test {

inline DWORD OpenHandles() {
    struct Entry {
        ULONG ownerPid;
        BYTE type;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == kLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    DWORD own = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerPid == ::GetCurrentProcessId()) ++own;
    }
    return own;
}

}  // namespace korvex_test
