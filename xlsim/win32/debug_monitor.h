// Listens to the debugger's output of xlsim's own process the way DebugView does (the DBWIN
// buffer that OutputDebugString writes to when no debugger is attached), and keeps the lines an
// add-in writes there about failures it caught: "Vestrano: where: what".
#pragma once

#include "host/win32/windows_api.h"

#include <string>
#include <vector>

namespace vestrano::xlsim::win32 {

class DebugMonitor {
 public:
  DebugMonitor();
  ~DebugMonitor();
  DebugMonitor(const DebugMonitor&) = delete;
  DebugMonitor& operator=(const DebugMonitor&) = delete;

  // The failure lines written since the last call.
  std::vector<std::string> Take();

 private:
  static DWORD WINAPI Listen(void* self);

  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  HANDLE buffer_ready_ = nullptr;
  HANDLE data_ready_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  // Guards lines_: the listening thread adds, the player's thread takes. (mingw's win32 thread
  // model has no std::mutex.)
  CRITICAL_SECTION lock_;
  std::vector<std::string> lines_;
};

}  // namespace vestrano::xlsim::win32
