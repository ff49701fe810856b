// Turns the add-in's icon artwork into an image list: each icon becomes a 24-bit bitmap whose
// mask-coloured pixels the list makes transparent.
#include "tabbar/win32/tab_image_list.h"

#include <cstring>

#include "host/diagnostics.h"
#include "tabbar/tab_images.h"

namespace vestrano::win32 {
namespace {

// One icon as a top-down 24-bit DIB section, given back by the caller with DeleteObject.
HBITMAP IconBitmap(const TabImage& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.size;
  info.bmiHeader.biHeight = -image.size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  const int stride = (image.size * 3 + 3) & ~3;
  auto* rows = static_cast<unsigned char*>(bits);
  for (int y = 0; y < image.size; ++y) {
    for (int x = 0; x < image.size; ++x) {
      const Rgb& pixel = image.At(x, y);
      unsigned char* out = rows + y * stride + x * 3;
      out[0] = pixel.blue;
      out[1] = pixel.green;
      out[2] = pixel.red;
    }
  }
  GdiFlush();
  return bitmap;
}

}  // namespace

std::shared_ptr<TabImageList> MakeTabImageList(int size) {
  const HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kTabImageCount, 0);
  if (!list) {
    host::ReportFailure("making the tab icons", "the image list could not be created");
    return nullptr;
  }
  auto owned = std::make_shared<TabImageList>(list);
  for (int index = 0; index < kTabImageCount; ++index) {
    const HBITMAP bitmap = IconBitmap(RenderTabImage(index, size));
    // A missing icon would shift every later one onto the wrong file type.
    const bool added = bitmap && ImageList_AddMasked(list, bitmap, kTabImageMask.ToColorRef()) >= 0;
    if (bitmap) DeleteObject(bitmap);
    if (!added) {
      host::ReportFailure("making the tab icons", "an icon could not be added");
      return nullptr;
    }
  }
  return owned;
}

}  // namespace vestrano::win32
