// Runs the body of a COM method or DLL export and turns whatever it throws into an HRESULT, so
// that nothing unwinds into COM, the loader or Excel. What was stopped is reported as a failure
// of `where`.
#pragma once

#include <new>
#include <string_view>

#include "host/diagnostics.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

template <typename Body>
HRESULT GuardedHresult(std::string_view where, Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    host::ReportCaughtException(where);
    return E_OUTOFMEMORY;
  } catch (...) {
    host::ReportCaughtException(where);
    return E_UNEXPECTED;
  }
}

}  // namespace vestrano::win32
