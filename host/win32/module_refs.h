// The module's count of live COM objects and of IClassFactory::LockServer locks, which
// DllCanUnloadNow reads. Every COM object that the DLL hands out holds one object reference for
// its lifetime, so that the DLL is not unloaded under it.
#pragma once

namespace vestrano::win32 {

void AddObjectRef() noexcept;
void ReleaseObjectRef() noexcept;
void AddLock() noexcept;
void ReleaseLock() noexcept;
// True when no object is alive and no lock is held.
bool ModuleIsIdle() noexcept;

// Held as a member by each COM object: counts the object for as long as it lives.
class ObjectRef {
 public:
  ObjectRef() noexcept { AddObjectRef(); }
  ObjectRef(const ObjectRef&) = delete;
  ObjectRef& operator=(const ObjectRef&) = delete;
  ~ObjectRef() { ReleaseObjectRef(); }
};

}  // namespace vestrano::win32
