// <windows.h> and the COM headers for the Win32 adapters, without the A/W macros whose names
// the portable interfaces use as member names (CreateWindow, GetClassName, ...). Adapters call
// the W or A function by its full name.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#undef CallWindowProc
#undef CreateWindow
#undef DefWindowProc
#undef FindWindowEx
#undef GetClassName
#undef GetObject
#undef GetWindowText
#undef SetWindowsHookEx
