// Where the tabs of the strip go for a given width: each tab as wide as its caption needs within
// limits, long tabs shrunk first when the row is too long, and past that a row that scrolls by
// whole tabs behind two arrow buttons at the right end. Also what lies under a point. Pixels,
// in the control's client coordinates; no drawing here.
#pragma once

#include <optional>
#include <vector>

namespace vestrano::tabctl {

// The sizes one appearance draws with, already scaled to the screen's resolution.
struct TabMetrics {
  int padding = 6;          // between a tab's side and its content, on each side
  int icon_size = 16;       // 0 when icons are not shown
  int icon_gap = 3;         // between icon and caption
  int overlap = 0;          // how far a tab reaches under its neighbour (slanted sides); < 0: a gap
  int row_start = 0;        // the first tab's left edge
  int min_tab_width = 60;   // long tabs shrink down to this before the row scrolls
  int max_tab_width = 220;  // no tab is wider; its caption is ellipsized
  int arrow_width = 16;     // each of the two scroll buttons
};

struct TabSlot {
  int left = 0;
  int right = 0;
  int text_width = 0;    // room for the caption
  bool visible = false;  // at least partly inside the tab area
  bool whole = false;    // entirely inside it
};

struct StripLayout {
  std::vector<TabSlot> tabs;
  int first = 0;           // first tab shown
  bool scrolls = false;    // the arrows are shown
  int tab_area_right = 0;  // tabs are clipped here
  int arrows_left = 0;     // the left arrow's left edge; the right arrow follows it
  int arrow_width = 0;
  bool can_scroll_back = false;
  bool can_scroll_on = false;
  int height = 0;
};

// caption_widths: each caption's natural width. `first` is the wanted first tab; the layout
// moves it as little as needed so that no room is wasted at the end of a scrolled row.
StripLayout LayoutStrip(const std::vector<int>& caption_widths, int width, int height,
                        const TabMetrics& metrics, int first);

// The first tab to show so that tab `index` is whole on screen, starting from `first`.
int FirstToReveal(const std::vector<int>& caption_widths, int width, int height,
                  const TabMetrics& metrics, int first, int index);

enum class HitKind { kNothing, kTab, kScrollBack, kScrollOn };
struct Hit {
  HitKind kind = HitKind::kNothing;
  int index = -1;  // for kTab
  friend bool operator==(const Hit&, const Hit&) = default;
};
// Where two tabs overlap, the one drawn in front is hit: the selected one, else the left one.
Hit HitTestStrip(const StripLayout& layout, int x, int y, std::optional<int> selected);

}  // namespace vestrano::tabctl
