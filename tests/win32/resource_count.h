// Counts of what a process holds, to tell that creating and destroying controls leaks nothing: windows,
// GDI objects and heap bytes in use.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <optional>

namespace marelco::win32::testing {

// Windows of this thread: top-level ones and every descendant.
inline int CountWindows() {
  struct Counter {
    static BOOL CALLBACK Child(HWND, LPARAM count) {
      ++*reinterpret_cast<int*>(count);
      return TRUE;
    }
    static BOOL CALLBACK TopLevel(HWND hwnd, LPARAM count) {
      ++*reinterpret_cast<int*>(count);
      EnumChildWindows(hwnd, Child, count);
      return TRUE;
    }
  };
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), Counter::TopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

// GDI objects of the process: the system's count where it keeps one; otherwise (under Wine) the used
// entries of the process's GDI handle table, where the process can see it; nothing when neither works.
inline std::optional<int> CountGdiObjects() {
  if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(count);
  struct HandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
  };
  constexpr int kHandleCount = 0x10000;
#ifdef _WIN64
  constexpr size_t kTableOffset = 0xF8;
#else
  constexpr size_t kTableOffset = 0x94;
#endif
  using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION process{};
  if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof(process), nullptr) != 0) {
    return std::nullopt;
  }
  auto* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
  auto* table = *reinterpret_cast<HandleEntry* const*>(peb + kTableOffset);
  if (!table) return std::nullopt;
  int count = 0;
  for (int index = 0; index < kHandleCount; ++index) count += table[index].type != 0;
  return count;
}

// Bytes in busy blocks of every heap of the process.
inline std::uint64_t HeapBytesInUse() {
  HANDLE heaps[64];
  DWORD heapCount = GetProcessHeaps(64, heaps);
  std::uint64_t bytes = 0;
  for (DWORD index = 0; index < heapCount && index < 64; ++index) {
    HeapLock(heaps[index]);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[index], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heaps[index]);
  }
  return bytes;
}

}  // namespace marelco::win32::testing
