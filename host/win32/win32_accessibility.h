// Microsoft Active Accessibility behind host/accessibility.h, through oleacc: a window's
// accessible object, AccessibleChildren and the IAccessible members the focus hook reads.
#pragma once

#include "host/accessibility.h"

namespace vestrano::win32 {

class Win32Accessibility final : public host::IAccessibility {
 public:
  host::AccessiblePtr AccessibleObjectFromWindow(Hwnd hwnd) override;
};

}  // namespace vestrano::win32
