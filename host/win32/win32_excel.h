// Excel's object model behind host/excel.h, through late-bound IDispatch: the Application object
// that OnConnection receives, and the Workbook, Window and sheet objects that events carry.
#pragma once

#include "host/excel.h"
#include "host/win32/com_ptr.h"

namespace vestrano::win32 {

host::ApplicationPtr MakeWin32Application(ComPtr<IDispatch> application);
// Each is null when the object is null.
host::WorkbooksPtr MakeWin32Workbooks(ComPtr<IDispatch> workbooks);
host::WorkbookPtr MakeWin32Workbook(ComPtr<IDispatch> workbook);
host::WindowPtr MakeWin32Window(ComPtr<IDispatch> window);
host::SheetPtr MakeWin32Sheet(ComPtr<IDispatch> sheet);

}  // namespace vestrano::win32
