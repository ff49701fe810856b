// Excel's main window "XLMAIN" with its workbook area "XLDESK", as real windows of the test
// process, which the add-in finds, subclasses and places its tab bar in.
#pragma once

#include "host/win32/windows_api.h"

namespace wine_test {

class ExcelWindows {
 public:
  ExcelWindows();
  ~ExcelWindows();
  ExcelWindows(const ExcelWindows&) = delete;
  ExcelWindows& operator=(const ExcelWindows&) = delete;

  HWND Main() const { return main_; }
  HWND Desk() const { return desk_; }
  // The workbook area's procedure as the test created it.
  WNDPROC OriginalDeskProc() const { return original_desk_proc_; }
  WNDPROC CurrentDeskProc() const;
  // Window and client sizes of the workbook area, in pixels.
  RECT DeskWindowRect() const;
  RECT DeskClientRect() const;
  // How many times the workbook area's own procedure got `message` so far, in any instance.
  static int DeskProcCalls(UINT message);

 private:
  HWND main_ = nullptr;
  HWND desk_ = nullptr;
  WNDPROC original_desk_proc_ = nullptr;
};

}  // namespace wine_test
