// The ribbon's image: the add-in's icon resource as the picture object (IPictureDisp) that
// Office's loadImage callback hands back.
#pragma once

#include "host/win32/com_ptr.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Null when the icon or the picture could not be made.
ComPtr<IDispatch> LoadRibbonPicture(HMODULE module);

}  // namespace vestrano::win32
