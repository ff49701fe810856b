// Runs the body of a COM method or DLL export and turns whatever it throws into an HRESULT, so
// that nothing unwinds into COM, the loader or Excel.
#pragma once

#include <new>

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

template <typename Body>
HRESULT GuardedHresult(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace vestrano::win32
