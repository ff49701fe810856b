// The strip's drawing. Shapes are filled row by row: each row of a tab is one span whose ends
// follow the tab's sides (slanted, rounded or straight), filled in the row's colour of a
// vertical gradient; the outline joins the ends of consecutive rows. Rows are numbered from the
// edge the tabs stand on, and mirrored when they hang from the other edge.
#include "tabctl/win32/tab_painter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "tabctl/caption_fit.h"
#include "tabctl/win32/gdi_handles.h"

namespace vestrano::tabctl {
namespace {

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  const auto channel = [&](int shift) {
    const double x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<COLORREF>(std::lround(x)) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct Palette {
  COLORREF back_far, back_near;  // the background, from the farther edge to the one tabs stand on
  COLORREF tab_far, tab_near;    // a tab's face
  COLORREF selected_far, selected_near;
  COLORREF border;
  COLORREF text;
  COLORREF arrow, arrow_off;
};

Palette PaletteFor(const Look& look) {
  if (look.disable_luna_colors || look.color == kColorDefault) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    return {face,
            face,
            Mix(face, window, 0.35),
            face,
            window,
            window,
            GetSysColor(COLOR_BTNSHADOW),
            GetSysColor(COLOR_BTNTEXT),
            GetSysColor(COLOR_BTNTEXT),
            GetSysColor(COLOR_GRAYTEXT)};
  }
  // The colour set of Office's schemes; unset colours take the blue scheme's.
  const COLORREF dark = look.header_face_dark.value_or(RGB(215, 230, 247));
  const COLORREF light = look.header_face_light.value_or(RGB(164, 195, 235));
  const COLORREF normal = look.button_normal.value_or(RGB(221, 237, 249));
  // Unselected tabs take the scheme's tone, so that the white selected tab stands out.
  return {dark,
          Mix(dark, light, 0.55),
          Mix(normal, kWhite, 0.25),
          Mix(normal, light, 0.5),
          kWhite,
          kWhite,
          Mix(light, kBlack, 0.45),
          RGB(0, 0, 0),
          Mix(light, kBlack, 0.6),
          Mix(light, kWhite, 0.2)};
}

// Rows counted from the edge the tabs stand on (0) to the farther edge.
class Rows {
 public:
  Rows(HDC dc, int height, bool hanging) : dc_(dc), height_(height), hanging_(hanging) {}
  int Y(int row) const { return hanging_ ? row : height_ - 1 - row; }
  void Span(int row, int left, int right, COLORREF color) const {
    if (right <= left) return;
    SetDCBrushColor(dc_, color);
    const RECT r{left, Y(row), right, Y(row) + 1};
    FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  // Rows [from, to) filled in a gradient from `nearer` (row `from`) to `farther`.
  void Gradient(int from, int to, int left, int right, COLORREF nearer, COLORREF farther) const {
    for (int row = from; row < to; ++row) {
      const double t = to - from > 1 ? static_cast<double>(row - from) / (to - from - 1) : 0;
      Span(row, left, right, Mix(nearer, farther, t));
    }
  }
  HDC Dc() const { return dc_; }
  int Height() const { return height_; }
  // The vertical pixel range [top, bottom) of rows [from, to).
  std::pair<int, int> Range(int from, int to) const {
    return hanging_ ? std::pair{from, to} : std::pair{height_ - to, height_ - from};
  }

 private:
  HDC dc_;
  int height_;
  bool hanging_;
};

// A tab's sides: how farther in from its left and right edge the tab is at a row.
using Inset = std::function<int(int row)>;

struct TabShape {
  int left, right;
  int base;  // the row the tab stands on
  int top;   // its last row
  Inset inset;
};

void FillShape(const Rows& rows, const TabShape& shape, COLORREF nearer, COLORREF farther) {
  for (int row = shape.base; row <= shape.top; ++row) {
    const double t = static_cast<double>(row - shape.base) / std::max(1, shape.top - shape.base);
    const int in = shape.inset(row);
    rows.Span(row, shape.left + in, shape.right - in, Mix(nearer, farther, t));
  }
}

// The sides and the farther edge; the base is left open, as the tab joins the page there.
void OutlineShape(const Rows& rows, const TabShape& shape, COLORREF color) {
  int previous = shape.inset(shape.base);
  for (int row = shape.base; row <= shape.top; ++row) {
    const int in = shape.inset(row);
    const int low = std::min(previous, in);
    const int high = std::max(previous, in);
    rows.Span(row, shape.left + low, shape.left + high + 1, color);
    rows.Span(row, shape.right - high - 1, shape.right - low, color);
    previous = in;
  }
  const int in = shape.inset(shape.top);
  rows.Span(shape.top, shape.left + in, shape.right - in, color);
}

struct Geometry {
  int base_row;      // where tabs stand: the row of the line along the strip
  int tab_top;       // the farther row of an unselected tab
  int selected_top;  // of the selected tab
  int slant;         // Excel tabs
  int radius;        // Access tabs
};

Geometry GeometryFor(const Look& look, int height, int dpi) {
  Geometry g{};
  g.base_row = 0;
  g.tab_top = height - 1 - Scaled(3, dpi);
  g.selected_top = g.tab_top;
  if (look.appearance == kAppearanceOffice2003) {
    g.tab_top = height - 1 - Scaled(4, dpi);
    g.selected_top = height - 1 - Scaled(2, dpi);
  }
  g.slant = std::max(3, (g.tab_top - g.base_row) / 3);
  g.radius = Scaled(3, dpi);
  return g;
}

TabShape ShapeFor(const Look& look, const Geometry& g, const TabSlot& slot, bool selected) {
  TabShape shape{slot.left, slot.right, g.base_row, selected ? g.selected_top : g.tab_top, {}};
  const int span = std::max(1, shape.top - shape.base);
  switch (look.appearance) {
    case kAppearanceExcel: {
      const int slant = g.slant;
      shape.inset = [=](int row) { return (row - shape.base) * slant / span; };
      break;
    }
    case kAppearanceAccess2007: {
      const int r = g.radius;
      const int top = shape.top;
      shape.inset = [=](int row) {
        const int from_top = top - row;
        if (from_top >= r) return 0;
        const double dy = r - from_top - 0.5;
        return static_cast<int>(std::lround(r - std::sqrt(std::max(0.0, r * r - dy * dy))));
      };
      break;
    }
    default: {
      const int top = shape.top;
      shape.inset = [=](int row) { return row == top ? 1 : 0; };
      break;
    }
  }
  return shape;
}

int TextWidth(HDC dc, std::u16string_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), &size);
  return size.cx;
}

void DrawContent(const Rows& rows, const PaintInput& in, const TabItem& item, const TabSlot& slot,
                 const TabShape& shape, const Palette& palette, const TabMetrics& metrics) {
  const auto [body_top, body_bottom] = rows.Range(shape.base + 1, shape.top);
  int x = slot.left + metrics.padding + std::max(metrics.overlap, 0) / 2;
  const bool icon = in.look.show_icons && in.images && item.image >= 0;
  if (in.look.show_icons) {
    if (icon) {
      const int y = body_top + (body_bottom - body_top - in.icon_size) / 2;
      ImageList_Draw(in.images, item.image, rows.Dc(), x, y, ILD_TRANSPARENT);
    }
    x += in.icon_size + metrics.icon_gap;
  }
  const HDC dc = rows.Dc();
  const std::u16string text = FitCaption(item.caption, slot.text_width,
                                         [dc](std::u16string_view t) { return TextWidth(dc, t); });
  if (text.empty()) return;
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  // Centred in the room left of the icon, so that a short caption sits in the tab's middle.
  const int room_right = slot.right - metrics.padding - std::max(metrics.overlap, 0) / 2;
  const int width = TextWidth(dc, text);
  const int text_x = x + std::max(0, (room_right - x - width) / 2);
  const int text_y = body_top + (body_bottom - body_top - tm.tmHeight) / 2;
  SetTextColor(dc, palette.text);
  const RECT clip{x, body_top, room_right, body_bottom};
  ExtTextOutW(dc, text_x, text_y, ETO_CLIPPED, &clip, reinterpret_cast<const wchar_t*>(text.data()),
              static_cast<UINT>(text.size()), nullptr);
}

void DrawArrow(HDC dc, int left, int width, int height, bool back, bool enabled,
               const Palette& palette, int dpi) {
  const int size = Scaled(4, dpi);
  const int cx = left + width / 2;
  const int cy = height / 2;
  SetDCBrushColor(dc, enabled ? palette.arrow : palette.arrow_off);
  SetDCPenColor(dc, enabled ? palette.arrow : palette.arrow_off);
  const int tip = back ? cx - size / 2 - 1 : cx + size / 2 + 1;
  const int root = back ? tip + size : tip - size;
  const POINT points[3] = {{tip, cy}, {root, cy - size}, {root, cy + size}};
  const SelectedObject brush(dc, GetStockObject(DC_BRUSH));
  const SelectedObject pen(dc, GetStockObject(DC_PEN));
  Polygon(dc, points, 3);
}

}  // namespace

int Scaled(int px, int dpi) {
  return MulDiv(px, dpi, 96);
}

TabMetrics MetricsFor(const Look& look, int dpi, int row_start, int icon_size) {
  TabMetrics m;
  m.icon_size = look.show_icons ? icon_size : 0;
  m.icon_gap = Scaled(4, dpi);
  m.row_start = row_start;
  m.min_tab_width = Scaled(112, dpi);
  m.max_tab_width = Scaled(240, dpi);
  m.arrow_width = Scaled(15, dpi);
  switch (look.appearance) {
    case kAppearanceExcel:
      m.padding = Scaled(4, dpi);
      m.overlap = Scaled(7, dpi);
      break;
    case kAppearanceAccess2007:
      m.padding = Scaled(7, dpi);
      m.overlap = -Scaled(2, dpi);
      break;
    default:
      m.padding = Scaled(6, dpi);
      m.overlap = -Scaled(1, dpi);
      break;
  }
  return m;
}

void PaintStrip(HDC dc, const PaintInput& in) {
  const Palette palette = PaletteFor(in.look);
  const Rows rows(dc, in.height, in.look.position == kPositionBottom);
  const Geometry g = GeometryFor(in.look, in.height, in.dpi);
  const TabMetrics metrics = MetricsFor(in.look, in.dpi, 0, in.icon_size);
  rows.Gradient(0, in.height, 0, in.width, palette.back_near, palette.back_far);
  const StripLayout& layout = *in.layout;

  // Tabs are clipped at the arrows; each is drawn under the one to its left, and the selected
  // one over all.
  const auto [clip_top, clip_bottom] = rows.Range(0, in.height);
  const HRGN area = CreateRectRgn(0, clip_top, layout.tab_area_right, clip_bottom);
  if (area) {
    SelectClipRgn(dc, area);
    DeleteObject(area);
  }
  rows.Span(g.base_row, 0, layout.tab_area_right, palette.border);
  const SelectedObject font(dc, in.font);
  SetBkMode(dc, TRANSPARENT);
  const auto draw = [&](int i, bool selected) {
    const TabSlot& slot = layout.tabs[static_cast<std::size_t>(i)];
    if (!slot.visible) return;
    const TabShape shape = ShapeFor(in.look, g, slot, selected);
    // The tab under the pointer lightens, as Office's tabs do.
    const bool hot = !selected && in.hot == i;
    const COLORREF nearer = selected ? palette.selected_near
                            : hot    ? Mix(palette.tab_near, kWhite, 0.5)
                                     : palette.tab_near;
    const COLORREF farther = selected ? palette.selected_far
                             : hot    ? Mix(palette.tab_far, kWhite, 0.6)
                                      : palette.tab_far;
    FillShape(rows, shape, nearer, farther);
    OutlineShape(rows, shape, palette.border);
    if (selected) {
      // The selected tab is open towards the page.
      const int in_left = shape.inset(shape.base);
      rows.Span(g.base_row, shape.left + in_left + 1, shape.right - in_left - 1,
                palette.selected_near);
    }
    DrawContent(rows, in, (*in.items)[static_cast<std::size_t>(i)], slot, shape, palette, metrics);
  };
  const int count = static_cast<int>(layout.tabs.size());
  for (int i = count - 1; i >= layout.first; --i) {
    if (i != in.selected) draw(i, false);
  }
  if (in.selected && *in.selected >= 0 && *in.selected < count) draw(*in.selected, true);
  SelectClipRgn(dc, nullptr);

  if (layout.scrolls) {
    const int left = layout.arrows_left;
    rows.Span(g.base_row, left, in.width, palette.border);
    DrawArrow(dc, left, layout.arrow_width, in.height, true, layout.can_scroll_back, palette,
              in.dpi);
    DrawArrow(dc, left + layout.arrow_width, layout.arrow_width, in.height, false,
              layout.can_scroll_on, palette, in.dpi);
  }
}

}  // namespace vestrano::tabctl
