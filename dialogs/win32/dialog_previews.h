// The options dialog's preview pictures, drawn when shown by our tab strip's own painter: a
// corner of a worksheet with the tab bar above or below it, in each style, and in the plain
// look of an Excel too old for the styles. Drawn at the screen's resolution, so they are sharp
// at every scaling; no picture files.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Draws picture `picture` (host::kPictureAbove ... kPictureOldExcel) into `area` of `dc`; any
// other number draws the empty box. Makes and gives back every GDI object it uses.
void DrawPreview(HDC dc, const RECT& area, int picture, int dpi);

}  // namespace vestrano::win32
