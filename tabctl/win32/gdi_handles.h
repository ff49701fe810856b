// Owners of the GDI objects the tab strip makes: fonts, bitmaps and memory device contexts, each
// given back by the code that made it, whatever happens in between.
#pragma once

#include "base/unique_handle.h"
#include "host/win32/windows_api.h"

namespace vestrano::tabctl {

template <typename Handle>
struct GdiObjectTraits {
  using Type = Handle;
  static Handle Empty() { return nullptr; }
  static BOOL Close(Handle handle) { return handle ? DeleteObject(handle) : FALSE; }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

struct MemoryDcTraits {
  using Type = HDC;
  static HDC Empty() { return nullptr; }
  static BOOL Close(HDC dc) { return dc ? DeleteDC(dc) : FALSE; }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// An object selected into a DC for a scope, and the previous one selected back at its end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vestrano::tabctl
