// <windows.h> and the COM headers for the Win32 adapters. The portable interfaces name no member
// after a function that <windows.h> defines as an A/W macro, so nothing needs undefining here;
// adapters call the W or A function by its full name.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>
