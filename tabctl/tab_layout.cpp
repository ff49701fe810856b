// The strip's layout. A row that fits at natural widths is left alone; one that does not first
// caps its widest tabs (a browser's way: short names stay readable), and only when every tab is
// down to the minimum does it scroll.
#include "tabctl/tab_layout.h"

#include <algorithm>
#include <numeric>

namespace vestrano::tabctl {
namespace {

int NaturalWidth(int caption_width, const TabMetrics& m) {
  const int icon = m.icon_size > 0 ? m.icon_size + m.icon_gap : 0;
  const int natural = 2 * m.padding + std::max(m.overlap, 0) + icon + std::max(caption_width, 0);
  // Short captions keep short tabs; min_tab_width only limits how far long ones shrink.
  return std::min(natural, m.max_tab_width);
}

// Width of the row of tabs [begin, end) when each is capped at `cap`.
long RowWidth(const std::vector<int>& widths, std::size_t begin, std::size_t end, int cap,
              const TabMetrics& m) {
  long total = 0;
  for (std::size_t i = begin; i < end; ++i) total += std::min(widths[i], cap) - m.overlap;
  return end > begin ? total + m.overlap : 0;
}

struct Widths {
  std::vector<int> tabs;  // final width of each tab
  bool scrolls = false;
  int area_right = 0;
};

Widths ChooseWidths(const std::vector<int>& caption_widths, int width, const TabMetrics& m) {
  Widths out;
  out.tabs.reserve(caption_widths.size());
  for (int caption : caption_widths) out.tabs.push_back(NaturalWidth(caption, m));
  const std::size_t n = out.tabs.size();
  const int room = width - m.row_start;
  out.area_right = width;
  if (n == 0 || RowWidth(out.tabs, 0, n, m.max_tab_width, m) <= room) return out;
  // The largest cap at which the row still fits, found by bisection over whole pixels.
  int low = m.min_tab_width;
  int high = m.max_tab_width;
  if (RowWidth(out.tabs, 0, n, low, m) <= room) {
    while (low < high) {
      const int mid = low + (high - low + 1) / 2;
      if (RowWidth(out.tabs, 0, n, mid, m) <= room) {
        low = mid;
      } else {
        high = mid - 1;
      }
    }
  } else {
    out.scrolls = true;
    out.area_right = std::max(m.row_start, width - 2 * m.arrow_width);
  }
  for (int& tab : out.tabs) tab = std::min(tab, low);
  return out;
}

// The largest first tab that still fills the area to its end.
int LastUsefulFirst(const std::vector<int>& tabs, int room, const TabMetrics& m) {
  int first = static_cast<int>(tabs.size()) - 1;
  while (first > 0 && RowWidth(tabs, static_cast<std::size_t>(first - 1), tabs.size(),
                               m.max_tab_width, m) <= room) {
    --first;
  }
  return std::max(first, 0);
}

}  // namespace

StripLayout LayoutStrip(const std::vector<int>& caption_widths, int width, int height,
                        const TabMetrics& m, int first) {
  const Widths widths = ChooseWidths(caption_widths, width, m);
  StripLayout layout;
  layout.height = height;
  layout.scrolls = widths.scrolls;
  layout.tab_area_right = widths.area_right;
  layout.arrows_left = widths.area_right;
  layout.arrow_width = m.arrow_width;
  const int count = static_cast<int>(widths.tabs.size());
  const int last_first =
      widths.scrolls ? LastUsefulFirst(widths.tabs, widths.area_right - m.row_start, m) : 0;
  layout.first = std::clamp(first, 0, last_first);
  layout.can_scroll_back = layout.first > 0;
  layout.can_scroll_on = layout.first < last_first;
  layout.tabs.resize(widths.tabs.size());
  // Tabs before the first shown one are laid out to the left of the area, off screen.
  int x = m.row_start;
  for (int i = layout.first - 1; i >= 0; --i) {
    x -= widths.tabs[static_cast<std::size_t>(i)] - m.overlap;
  }
  const int icon = m.icon_size > 0 ? m.icon_size + m.icon_gap : 0;
  for (int i = 0; i < count; ++i) {
    TabSlot& slot = layout.tabs[static_cast<std::size_t>(i)];
    const int w = widths.tabs[static_cast<std::size_t>(i)];
    slot.left = x;
    slot.right = x + w;
    slot.text_width = std::max(0, w - 2 * m.padding - std::max(m.overlap, 0) - icon);
    slot.visible = i >= layout.first && slot.left < layout.tab_area_right;
    slot.whole = slot.visible && slot.right <= layout.tab_area_right;
    x += w - m.overlap;
  }
  return layout;
}

int FirstToReveal(const std::vector<int>& caption_widths, int width, int height,
                  const TabMetrics& m, int first, int index) {
  StripLayout layout = LayoutStrip(caption_widths, width, height, m, first);
  const int count = static_cast<int>(layout.tabs.size());
  if (!layout.scrolls || index < 0 || index >= count) return layout.first;
  if (index < layout.first) return index;
  // Each step moves the row by one tab; the row is finite, so this ends.
  int wanted = layout.first;
  while (wanted < index && !layout.tabs[static_cast<std::size_t>(index)].whole) {
    layout = LayoutStrip(caption_widths, width, height, m, ++wanted);
  }
  return layout.first;
}

Hit HitTestStrip(const StripLayout& layout, int x, int y, std::optional<int> selected) {
  if (y < 0 || y >= layout.height || x < 0) return {};
  if (layout.scrolls && x >= layout.arrows_left) {
    if (x < layout.arrows_left + layout.arrow_width) return {HitKind::kScrollBack, -1};
    if (x < layout.arrows_left + 2 * layout.arrow_width) return {HitKind::kScrollOn, -1};
    return {};
  }
  if (x >= layout.tab_area_right) return {};
  const auto inside = [&](int i) {
    const TabSlot& slot = layout.tabs[static_cast<std::size_t>(i)];
    return slot.visible && x >= slot.left && x < slot.right;
  };
  if (selected && *selected >= 0 && *selected < static_cast<int>(layout.tabs.size()) &&
      inside(*selected)) {
    return {HitKind::kTab, *selected};
  }
  for (int i = layout.first; i < static_cast<int>(layout.tabs.size()); ++i) {
    if (inside(i)) return {HitKind::kTab, i};
  }
  return {};
}

}  // namespace vestrano::tabctl
