// The probes. The guard's handler is process-wide and has no context argument, so what it
// records lives in this file's statics; one guard at a time.
#include "tests/wine/dll_probes.h"

#include "tests/wine/checks.h"

#include <iterator>
#include <string_view>

namespace wine_test {
namespace {

std::uintptr_t g_guard_base = 0;
std::uintptr_t g_guard_end = 0;
volatile LONG g_hits = 0;
volatile std::uintptr_t g_first_hit = 0;

LONG CALLBACK OnGuardPage(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
  // The second parameter is the address touched; for an instruction fetch, the instruction.
  const std::uintptr_t address = record->NumberParameters >= 2
                                     ? record->ExceptionInformation[1]
                                     : reinterpret_cast<std::uintptr_t>(record->ExceptionAddress);
  if (address < g_guard_base || address >= g_guard_end) return EXCEPTION_CONTINUE_SEARCH;
  if (InterlockedIncrement(&g_hits) == 1) g_first_hit = address;
  return EXCEPTION_CONTINUE_EXECUTION;
}

BOOL CALLBACK CollectOurProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR names) {
  // Properties named by atom have no string to compare.
  if (IS_INTRESOURCE(name)) return TRUE;
  const std::wstring_view text(name);
  if (text.starts_with(L"Vestrano.")) {
    reinterpret_cast<std::string*>(names)->append(" ").append(Narrow(text));
  }
  return TRUE;
}

}  // namespace

std::string PropertiesOfOurs(HWND hwnd) {
  std::string names;
  EnumPropsExW(hwnd, CollectOurProperty, reinterpret_cast<LPARAM>(&names));
  return names;
}

DllImage DllImage::Loaded() {
  DllImage image;
  const HMODULE module = GetModuleHandleW(L"Vestrano.dll");
  if (!module) return image;
  const auto base = reinterpret_cast<std::uintptr_t>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  image.base_ = base;
  image.end_ = base + nt->OptionalHeader.SizeOfImage;
  return image;
}

bool DllImage::Contains(const void* address) const {
  return Contains(reinterpret_cast<std::uintptr_t>(address));
}

bool IsTimerOf(const DllImage& dll, const MSG& message) {
  if (message.message != WM_TIMER || message.hwnd || !message.lParam) return false;
  return dll.Contains(static_cast<std::uintptr_t>(message.lParam)) || RunningUnderWine();
}

int TimerMessagesInto(const DllImage& dll, unsigned ms) {
  int ours = 0;
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsTimerOf(dll, message)) {
        ++ours;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return ours;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

CodeGuard::CodeGuard(const DllImage& dll) {
  if (!dll) return;
  const auto base = reinterpret_cast<std::uintptr_t>(dll.Module());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  g_guard_base = base;
  g_guard_end = base + nt->OptionalHeader.SizeOfImage;
  g_hits = 0;
  g_first_hit = 0;
  handler_ = AddVectoredExceptionHandler(1, OnGuardPage);
  if (!handler_) return;
  armed_ = true;
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (!(section->Characteristics & IMAGE_SCN_MEM_EXECUTE)) continue;
    if (section_count_ == static_cast<int>(std::size(sections_))) {
      armed_ = false;
      break;
    }
    Section& guarded = sections_[section_count_];
    guarded.base = reinterpret_cast<void*>(base + section->VirtualAddress);
    guarded.size = section->Misc.VirtualSize;
    if (!VirtualProtect(guarded.base, guarded.size, PAGE_EXECUTE_READ | PAGE_GUARD,
                        &guarded.protection)) {
      armed_ = false;
      break;
    }
    ++section_count_;
  }
  armed_ = armed_ && section_count_ > 0;
}

CodeGuard::~CodeGuard() {
  for (int i = 0; i < section_count_; ++i) {
    DWORD guarded;
    VirtualProtect(sections_[i].base, sections_[i].size, sections_[i].protection, &guarded);
  }
  if (handler_) RemoveVectoredExceptionHandler(handler_);
  g_guard_base = g_guard_end = 0;
}

int CodeGuard::Hits() const {
  return g_hits;
}

std::uintptr_t CodeGuard::FirstHit() const {
  return g_first_hit;
}

}  // namespace wine_test
