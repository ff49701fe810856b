// Object and lock counts. Interlocked, although the apartment model keeps the add-in on one
// thread: COM may call DllCanUnloadNow from another thread.
#include "host/win32/module_refs.h"

#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

LONG g_objects = 0;
LONG g_locks = 0;

}  // namespace

void AddObjectRef() noexcept {
  InterlockedIncrement(&g_objects);
}
void ReleaseObjectRef() noexcept {
  InterlockedDecrement(&g_objects);
}
void AddLock() noexcept {
  InterlockedIncrement(&g_locks);
}
void ReleaseLock() noexcept {
  InterlockedDecrement(&g_locks);
}

bool ModuleIsIdle() noexcept {
  return InterlockedCompareExchange(&g_objects, 0, 0) == 0 &&
         InterlockedCompareExchange(&g_locks, 0, 0) == 0;
}

}  // namespace vestrano::win32
