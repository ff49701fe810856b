// Drawing the tab strip into a device context: the background, the tabs of one of the three
// appearances (Excel's sheet tabs, Access 2007's and Office 2003's property-page tabs) hanging
// from the top or the bottom edge, icons, fitted captions and the scroll arrows. Draws with the
// DC's own brush and pen colours only, so a paint makes no GDI object.
#pragma once

#include "host/win32/windows_api.h"

// After <windows.h>, which they build on.
#include <commctrl.h>
#include <oleacc.h>

#include <optional>
#include <vector>

#include "host/win32/windows_api.h"
#include "tabctl/tab_layout.h"
#include "tabctl/tab_strip_model.h"

namespace vestrano::tabctl {

inline constexpr int kAppearanceOffice2003 = 3;
inline constexpr int kAppearanceExcel = 7;
inline constexpr int kAppearanceAccess2007 = 11;
inline constexpr int kColorDefault = 1;
inline constexpr int kColorOffice2003 = 4;
inline constexpr int kPositionTop = 0;
inline constexpr int kPositionBottom = 2;

struct Look {
  int appearance = kAppearanceExcel;
  int color = kColorOffice2003;
  bool disable_luna_colors = false;
  int position = kPositionTop;
  bool show_icons = false;
  std::optional<COLORREF> header_face_light;
  std::optional<COLORREF> header_face_dark;
  std::optional<COLORREF> button_normal;
};

// `px` at 96 pixels per inch, at `dpi`.
int Scaled(int px, int dpi);

// The layout sizes for a look at a resolution; `row_start` is where the first tab may begin.
TabMetrics MetricsFor(const Look& look, int dpi, int row_start, int icon_size);

struct PaintInput {
  const StripLayout* layout = nullptr;
  const std::vector<TabItem>* items = nullptr;
  std::optional<int> selected;
  std::optional<int> hot;  // the tab under the mouse pointer
  Look look;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  int icon_size = 16;
  int dpi = 96;
  int width = 0;
  int height = 0;
};

void PaintStrip(HDC dc, const PaintInput& input);

}  // namespace vestrano::tabctl
