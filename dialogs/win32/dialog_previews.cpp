// The previews. The worksheet part is drawn here; the bar is the tab strip's painter with the
// look that the tab bar itself takes for that choice, over three workbooks of short names.
#include "dialogs/win32/dialog_previews.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/office_colors.h"
#include "host/dialogs.h"
#include "tabctl/tab_layout.h"
#include "tabctl/win32/gdi_handles.h"
#include "tabctl/win32/tab_painter.h"

namespace vestrano::win32 {
namespace {

using tabctl::Look;

constexpr COLORREF kCell = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(208, 215, 229);
constexpr COLORREF kHeader = RGB(228, 236, 247);
constexpr COLORREF kFrame = RGB(128, 128, 128);
constexpr int kStripPixels = 24;  // at 96 DPI, as Excel's strip

void Fill(HDC dc, const RECT& r, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A worksheet corner: a header row and column, and cells.
void DrawSheet(HDC dc, const RECT& r, int dpi) {
  Fill(dc, r, kCell);
  const int row = tabctl::Scaled(12, dpi);
  const int column = tabctl::Scaled(40, dpi);
  const int header = tabctl::Scaled(18, dpi);
  Fill(dc, {r.left, r.top, r.right, std::min(r.bottom, r.top + row)}, kHeader);
  Fill(dc, {r.left, r.top, std::min(r.right, r.left + header), r.bottom}, kHeader);
  for (int x = r.left + header; x < r.right; x += column)
    Fill(dc, {x, r.top, x + 1, r.bottom}, kGrid);
  for (int y = r.top + row; y < r.bottom; y += row) Fill(dc, {r.left, y, r.right, y + 1}, kGrid);
}

struct Picture {
  Look look;
  bool below;
};

Picture PictureFor(int picture) {
  Look look;
  look.appearance = tabctl::kAppearanceExcel;
  look.color = tabctl::kColorOffice2003;
  const SchemeColors& blue = kBlueTabs;
  look.header_face_dark = blue.header_face_dark.ToColorRef();
  look.header_face_light = blue.header_face_light.ToColorRef();
  look.button_normal = blue.button_normal.ToColorRef();
  bool below = false;
  switch (picture) {
    case host::kPictureBelow:
      below = true;
      break;
    case host::kPictureStyle1:
      look.appearance = tabctl::kAppearanceAccess2007;
      break;
    case host::kPictureStyle2:
      look.appearance = tabctl::kAppearanceOffice2003;
      break;
    case host::kPictureOldExcel:
      look.disable_luna_colors = true;
      look.color = tabctl::kColorDefault;
      break;
    default:
      break;
  }
  look.position = below ? tabctl::kPositionBottom : tabctl::kPositionTop;
  return {look, below};
}

void DrawBar(HDC dc, const RECT& strip, const Look& look, int dpi) {
  const int width = strip.right - strip.left;
  const int height = strip.bottom - strip.top;
  if (width <= 0 || height <= 0) return;
  const tabctl::UniqueMemoryDc memory(CreateCompatibleDC(dc));
  const tabctl::UniqueBitmap bitmap(memory ? CreateCompatibleBitmap(dc, width, height) : nullptr);
  LOGFONTW face{};
  face.lfHeight = -std::min(MulDiv(8, dpi, 72), height - 6);
  face.lfCharSet = DEFAULT_CHARSET;
  wcscpy(face.lfFaceName, L"Tahoma");
  const tabctl::UniqueFont font(CreateFontIndirectW(&face));
  if (!memory || !bitmap || !font) return;
  std::vector<tabctl::TabItem> items;
  std::vector<int> widths;
  {
    const tabctl::SelectedObject selected_font(dc, font.Get());
    for (const char16_t* caption : {u"Book1", u"Book2", u"Book3"}) {
      items.push_back({items.size() + 1, caption, u"", -1});
      SIZE size{};
      GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(caption),
                            static_cast<int>(std::char_traits<char16_t>::length(caption)), &size);
      widths.push_back(size.cx);
    }
  }
  const tabctl::TabMetrics metrics = tabctl::MetricsFor(look, dpi, tabctl::Scaled(3, dpi), 0);
  const tabctl::StripLayout layout = tabctl::LayoutStrip(widths, width, height, metrics, 0);
  const tabctl::SelectedObject selected(memory.Get(), bitmap.Get());
  tabctl::PaintInput input;
  input.layout = &layout;
  input.items = &items;
  input.selected = 0;
  input.look = look;
  input.font = font.Get();
  input.icon_size = 0;
  input.dpi = dpi;
  input.width = width;
  input.height = height;
  tabctl::PaintStrip(memory.Get(), input);
  BitBlt(dc, strip.left, strip.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace

void DrawPreview(HDC dc, const RECT& area, int picture, int dpi) {
  Fill(dc, area, GetSysColor(COLOR_BTNFACE));
  if (picture >= host::kPictureAbove && picture <= host::kPictureOldExcel) {
    const RECT inside{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    const Picture what = PictureFor(picture);
    const int strip =
        std::min<int>(tabctl::Scaled(kStripPixels, dpi), (inside.bottom - inside.top) * 2 / 3);
    const RECT bar = what.below
                         ? RECT{inside.left, inside.bottom - strip, inside.right, inside.bottom}
                         : RECT{inside.left, inside.top, inside.right, inside.top + strip};
    const RECT sheet = what.below ? RECT{inside.left, inside.top, inside.right, bar.top}
                                  : RECT{inside.left, bar.bottom, inside.right, inside.bottom};
    DrawSheet(dc, sheet, dpi);
    DrawBar(dc, bar, what.look, dpi);
  }
  // A thin frame, as a picture box has.
  SetDCBrushColor(dc, kFrame);
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace vestrano::win32
