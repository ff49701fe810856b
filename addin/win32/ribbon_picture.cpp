// The picture owns the icon it is made from (fOwn), so the icon goes with Office's last
// reference to the picture.
#include "addin/win32/ribbon_picture.h"

#include "addin/ribbon.h"

namespace vestrano::win32 {

ComPtr<IDispatch> LoadRibbonPicture(HMODULE module) {
  // LR_SHARED is left out: a shared icon must not be destroyed, and the picture destroys it.
  const auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kRibbonIconResource),
                                                  IMAGE_ICON, kRibbonIconSize, kRibbonIconSize, 0));
  if (!icon) return {};
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  ComPtr<IDispatch> picture;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.PutVoid()))) {
    DestroyIcon(icon);
    return {};
  }
  return picture;
}

}  // namespace vestrano::win32
