// Probes for code of Vestrano.dll that still runs: where its image lies, the thread timers whose
// procedure lies in it, and a guard over its code pages that notices any instruction of it being
// executed (or read) while the guard is up.
#pragma once

#include <cstdint>
#include <string>

#include "host/win32/windows_api.h"

namespace wine_test {

// The address range of the loaded DLL, from its PE header.
class DllImage {
 public:
  // Vestrano.dll as this process has it loaded; empty when it is not loaded.
  static DllImage Loaded();
  explicit operator bool() const { return base_ != 0; }
  HMODULE Module() const { return reinterpret_cast<HMODULE>(base_); }
  bool Contains(const void* address) const;
  bool Contains(std::uintptr_t address) const { return address >= base_ && address < end_; }

 private:
  std::uintptr_t base_ = 0;
  std::uintptr_t end_ = 0;
};

// The names of the add-in's window properties still on the window, each after a space.
std::string PropertiesOfOurs(HWND hwnd);

// Whether the message is a WM_TIMER of a thread timer of the DLL. On Windows its lParam is the
// TIMERPROC, in the DLL; Wine puts a procedure handle of its own there instead, so under Wine
// every thread timer with a procedure counts: the test starts none of its own.
bool IsTimerOf(const DllImage& dll, const MSG& message);
// Runs this thread's message loop for `ms` milliseconds, dispatching every message but the
// WM_TIMERs of the DLL's timers, which it counts and drops.
int TimerMessagesInto(const DllImage& dll, unsigned ms);

// While alive, the DLL's executable sections are PAGE_GUARD: the first touch of each page raises
// a guard-page exception, which a vectored handler records and lets pass (Windows lifts the
// guard of that page as it raises it). The pages get their protection back on destruction,
// which must come before anything of the DLL is called on purpose.
class CodeGuard {
 public:
  explicit CodeGuard(const DllImage& dll);
  ~CodeGuard();
  CodeGuard(const CodeGuard&) = delete;
  CodeGuard& operator=(const CodeGuard&) = delete;

  // False when the pages could not be guarded; the probe then proves nothing.
  bool Armed() const { return armed_; }
  // Pages of the DLL touched while the guard was up, and the address of the first touch.
  int Hits() const;
  std::uintptr_t FirstHit() const;

 private:
  struct Section {
    void* base;
    SIZE_T size;
    DWORD protection;
  };
  Section sections_[16] = {};
  int section_count_ = 0;
  void* handler_ = nullptr;
  bool armed_ = false;
};

}  // namespace wine_test
