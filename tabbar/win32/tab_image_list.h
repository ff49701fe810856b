// ImageList1 as Windows knows it: a comctl32 image list of the fourteen tab icons at one size,
// with the mask colour of tabbar/tab_images.h, destroyed with its owner.
#pragma once

#include <memory>

#include "host/tab_control.h"
#include "host/win32/windows_api.h"

// After <windows.h>, which it builds on.
#include <commctrl.h>

namespace vestrano::win32 {

class TabImageList final : public host::IImageList {
 public:
  explicit TabImageList(HIMAGELIST list) : list_(list) {}
  ~TabImageList() override {
    if (list_) ImageList_Destroy(list_);
  }
  TabImageList(const TabImageList&) = delete;
  TabImageList& operator=(const TabImageList&) = delete;
  HIMAGELIST Handle() const { return list_; }

 private:
  HIMAGELIST list_;
};

// The icons drawn `size` pixels square; null when the list cannot be made.
std::shared_ptr<TabImageList> MakeTabImageList(int size);

}  // namespace vestrano::win32
