// Our tab strip's model without a window: where tabs go for a width (shrinking, then scrolling),
// what a point hits, scrolling the selected tab into view, the events of a click in their order,
// captions fitted with an ellipsis that never cuts a character in half, and the twips
// conversion that the form and the strip share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/twips.h"
#include "tabctl/caption_fit.h"
#include "tabctl/tab_layout.h"
#include "tabctl/tab_strip_model.h"

namespace vestrano::tabctl {
namespace {

// padding 5, no icon, overlap 4, row starts at 2, tabs at most 100 wide and shrunk to no less
// than 40, arrows 16.
TabMetrics Metrics() {
  TabMetrics m;
  m.padding = 5;
  m.icon_size = 0;
  m.overlap = 4;
  m.row_start = 2;
  m.min_tab_width = 40;
  m.max_tab_width = 100;
  m.arrow_width = 16;
  return m;
}

std::string Spans(const StripLayout& layout) {
  std::string out;
  for (const auto& tab : layout.tabs) {
    if (!tab.visible) continue;
    out += std::to_string(tab.left) + "-" + std::to_string(tab.right) + (tab.whole ? " " : "~ ");
  }
  return out;
}

TEST(TabLayout, FitsShrinksThenScrolls) {
  // Natural widths: caption + 2 * 5 + 4 overlap.
  const std::vector<int> captions{20, 50, 200};
  auto wide = LayoutStrip(captions, 400, 24, Metrics(), 0);
  EXPECT_FALSE(wide.scrolls);
  EXPECT_EQ(Spans(wide), "2-36 32-96 92-192 ");  // 214 is capped at 100
  EXPECT_EQ(wide.tabs[2].text_width, 100 - 10 - 4);

  // 160 pixels: the widest tab gives way first, the shorter ones keep their widths.
  auto narrow = LayoutStrip(captions, 160, 24, Metrics(), 0);
  EXPECT_FALSE(narrow.scrolls);
  EXPECT_EQ(Spans(narrow), "2-36 32-96 92-160 ");

  // Ten tabs cannot fit even at the minimum: the row scrolls behind two arrows.
  const std::vector<int> many(10, 200);
  auto scrolled = LayoutStrip(many, 200, 24, Metrics(), 0);
  EXPECT_TRUE(scrolled.scrolls);
  EXPECT_EQ(scrolled.tab_area_right, 200 - 32);
  EXPECT_EQ(scrolled.arrows_left, 168);
  EXPECT_EQ(Spans(scrolled), "2-42 38-78 74-114 110-150 146-186~ ");
  EXPECT_FALSE(scrolled.can_scroll_back);
  EXPECT_TRUE(scrolled.can_scroll_on);

  // Asking to start past the end starts where the last tab just fits: no room is wasted.
  auto end = LayoutStrip(many, 200, 24, Metrics(), 99);
  EXPECT_EQ(end.first, 6);
  EXPECT_EQ(end.tabs[9].right, 2 + 3 * 36 + 40);
  EXPECT_TRUE(end.tabs[9].whole);
  EXPECT_FALSE(end.tabs[5].visible);
  EXPECT_TRUE(end.can_scroll_back);
  EXPECT_FALSE(end.can_scroll_on);

  EXPECT_TRUE(LayoutStrip({}, 200, 24, Metrics(), 3).tabs.empty());
}

TEST(TabLayout, HitTestAndReveal) {
  const std::vector<int> many(10, 200);
  const auto layout = LayoutStrip(many, 200, 24, Metrics(), 0);
  EXPECT_EQ(HitTestStrip(layout, 10, 5, std::nullopt), (Hit{HitKind::kTab, 0}));
  // 38..41 is where tabs 0 and 1 overlap: the left one is in front, unless 1 is selected.
  EXPECT_EQ(HitTestStrip(layout, 40, 5, std::nullopt).index, 0);
  EXPECT_EQ(HitTestStrip(layout, 40, 5, 1).index, 1);
  EXPECT_EQ(HitTestStrip(layout, 170, 5, 0).kind, HitKind::kScrollBack);
  EXPECT_EQ(HitTestStrip(layout, 190, 5, 0).kind, HitKind::kScrollOn);
  EXPECT_EQ(HitTestStrip(layout, 10, 24, 0).kind, HitKind::kNothing);
  EXPECT_EQ(HitTestStrip(layout, -1, 5, 0).kind, HitKind::kNothing);
  const auto few = LayoutStrip({20}, 200, 24, Metrics(), 0);
  EXPECT_EQ(HitTestStrip(few, 100, 5, 0).kind, HitKind::kNothing);  // the empty strip

  // Revealing a later tab scrolls just far enough; an earlier one becomes the first.
  EXPECT_EQ(FirstToReveal(many, 200, 24, Metrics(), 0, 2), 0);
  EXPECT_EQ(FirstToReveal(many, 200, 24, Metrics(), 0, 4), 1);
  EXPECT_EQ(FirstToReveal(many, 200, 24, Metrics(), 0, 9), 6);
  EXPECT_EQ(FirstToReveal(many, 200, 24, Metrics(), 6, 3), 3);
  EXPECT_TRUE(LayoutStrip(many, 200, 24, Metrics(), FirstToReveal(many, 200, 24, Metrics(), 0, 7))
                  .tabs[7]
                  .whole);
}

// Records the events of the strip, and can rebuild the row from inside SelectedChanged as the
// tab bar does when the workbook it activates raises Excel's events.
struct Recorder : IStripEvents {
  void BeforeItemClick(ItemId item, bool& cancel) override {
    log += "before:" + Name(item) + " ";
    cancel = cancel_next;
  }
  void SelectedChanged(ItemId item) override {
    log += "selected:" + Name(item) + " ";
    if (rebuild_on_select) {
      rebuild_on_select = false;
      model->RemoveAll();
      model->SetCount(3);
      for (int i = 0; i < 3; ++i)
        model->SetCaption(model->At(i).id, u"n" + std::u16string(1, u'0' + i));
      model->Select(model->At(1).id);
    }
  }
  void MouseUp(int button, int, float x, float y) override {
    log += "up:" + std::to_string(button) + "@" + std::to_string(static_cast<int>(x)) + "," +
           std::to_string(static_cast<int>(y)) + " ";
  }
  std::string Name(ItemId item) const {
    const auto index = model->IndexOf(item);
    if (!index) return "?";
    const auto& caption = model->At(*index).caption;
    return std::string(caption.begin(), caption.end());
  }
  TabStripModel* model = nullptr;
  std::string log;
  bool cancel_next = false;
  bool rebuild_on_select = false;
};

struct Strip {
  Strip(int count, int caption_width = 200)
      : captions(static_cast<std::size_t>(count), caption_width) {
    recorder.model = &model;
    model.SetEvents(&recorder);
    model.SetCount(count);
    for (int i = 0; i < count; ++i) {
      model.SetCaption(model.At(i).id, u"t" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
    }
  }
  StripLayout Layout() {
    if (model.TakeRevealRequest() && model.SelectedIndex()) {
      model.SetFirst(
          FirstToReveal(captions, 200, 24, Metrics(), model.First(), *model.SelectedIndex()));
    }
    auto layout = LayoutStrip(captions, 200, 24, Metrics(), model.First());
    model.SetFirst(layout.first);
    return layout;
  }
  void Click(int button, int x) {
    const auto layout = Layout();
    model.PressButton(button, 0, x, 5, layout);
    model.ReleaseButton(button, 0, x, 5);
  }
  std::vector<int> captions;
  TabStripModel model;
  Recorder recorder;
};

TEST(TabStripModel, ClickRaisesEventsInOrder) {
  Strip strip(3, 20);  // tabs at 2-36, 32-66, 62-96
  strip.Click(kLeftButton, 50);
  EXPECT_EQ(strip.recorder.log, "before:t1 selected:t1 up:1@50,5 ");
  // Clicking the selected tab again changes nothing: no SelectedChanged.
  strip.recorder.log.clear();
  strip.Click(kLeftButton, 50);
  EXPECT_EQ(strip.recorder.log, "before:t1 up:1@50,5 ");
  // A cancelled click selects nothing, and still ends in MouseUp.
  strip.recorder.log.clear();
  strip.recorder.cancel_next = true;
  strip.Click(kLeftButton, 10);
  EXPECT_EQ(strip.recorder.log, "before:t0 up:1@10,5 ");
  EXPECT_EQ(strip.model.SelectedIndex(), 1);
  strip.recorder.cancel_next = false;
  // Right and middle buttons select nothing themselves; the empty strip has no item.
  strip.recorder.log.clear();
  strip.Click(kRightButton, 10);
  strip.Click(kMiddleButton, 10);
  strip.Click(kLeftButton, 150);
  EXPECT_EQ(strip.recorder.log, "up:2@10,5 up:4@10,5 up:1@150,5 ");
  // A release without a press over the control is not ours.
  strip.recorder.log.clear();
  strip.model.ReleaseButton(kLeftButton, 0, 10, 5);
  EXPECT_EQ(strip.recorder.log, "");
}

TEST(TabStripModel, ArrowsScrollAndSelectionIsRevealed) {
  Strip strip(10);
  strip.Click(kLeftButton, 190);  // the forward arrow
  strip.Click(kLeftButton, 190);
  EXPECT_EQ(strip.recorder.log, "");  // the arrows raise no MouseUp: no empty-strip double-click
  EXPECT_EQ(strip.Layout().first, 2);
  strip.Click(kLeftButton, 170);
  EXPECT_EQ(strip.Layout().first, 1);
  // Selecting a tab out of view scrolls it in, as after a rebuild.
  strip.model.Select(strip.model.At(9).id);
  const auto layout = strip.Layout();
  EXPECT_EQ(layout.first, 6);
  EXPECT_TRUE(layout.tabs[9].whole);
  // Scrolled back until the selected tab is cut off at the arrows, a click on it scrolls it in
  // again, although the selection itself does not change.
  strip.Click(kLeftButton, 170);
  ASSERT_FALSE(strip.Layout().tabs[9].whole);
  strip.Click(kLeftButton, 155);
  EXPECT_EQ(strip.Layout().first, 6);
  EXPECT_TRUE(strip.Layout().tabs[9].whole);
  // A default action on a tab out of view: MouseUp lands where HitTest then finds that tab.
  strip.recorder.log.clear();
  strip.model.ClickItem(strip.model.At(0).id, [&] { return strip.Layout(); });
  EXPECT_EQ(strip.recorder.log, "before:t0 selected:t0 up:1@22,12 ");
  EXPECT_EQ(HitTestStrip(strip.Layout(), 22, 12, strip.model.SelectedIndex()).index, 0);
}

TEST(TabStripModel, ItemsAndRebuildDuringAnEvent) {
  Strip strip(3);
  const ItemId old_first = strip.model.At(0).id;
  // Writing a count keeps the items in front, in insertion order, and makes new empty ones.
  strip.model.SetCount(5);
  EXPECT_EQ(strip.model.At(0).id, old_first);
  EXPECT_EQ(strip.model.At(4).caption, u"");
  strip.model.Select(strip.model.At(4).id);
  strip.model.SetCount(2);
  EXPECT_FALSE(strip.model.SelectedIndex());
  EXPECT_FALSE(strip.model.SetCaption(999, u"x"));
  strip.model.RemoveAll();
  EXPECT_FALSE(strip.model.SetCaption(old_first, u"x"));  // a removed item stays removed
  EXPECT_FALSE(strip.model.SetCount(-1));

  // The host rebuilds the whole row while SelectedChanged is raised; the click ends cleanly.
  Strip rebuilt(3);
  rebuilt.recorder.rebuild_on_select = true;
  rebuilt.Click(kLeftButton, 10);
  EXPECT_EQ(rebuilt.recorder.log, "before:t0 selected:t0 selected:n1 up:1@10,5 ");
  EXPECT_EQ(rebuilt.model.SelectedIndex(), 1);
  rebuilt.recorder.rebuild_on_select = true;
  rebuilt.recorder.log.clear();
  rebuilt.model.ClickItem(rebuilt.model.At(2).id, [&] { return rebuilt.Layout(); });
  EXPECT_EQ(rebuilt.recorder.log, "before:n2 selected:n2 selected:n1 up:1@100,12 ");
}

// Each UTF-16 unit is 10 pixels wide, the ellipsis 8; counts the measurements.
struct Measure {
  int operator()(std::u16string_view text) const {
    ++*calls;
    int width = 0;
    for (char16_t c : text) width += c == kEllipsis ? 8 : 10;
    return width;
  }
  int* calls;
};

TEST(CaptionFit, EllipsizesWithoutCuttingCharacters) {
  int calls = 0;
  const Measure measure{&calls};
  EXPECT_EQ(FitCaption(u"Book1.xlsx", 100, measure), u"Book1.xlsx");
  EXPECT_EQ(FitCaption(u"Book1.xlsx", 99, measure), u"Book1.xls\u2026");
  // Blanks before the ellipsis go.
  EXPECT_EQ(FitCaption(u"ab  cdef", 48, measure), u"ab\u2026");
  // 𠀀 (a surrogate pair) and e + combining acute are never split.
  const std::u16string pair = u"ab\U00020000cd";
  EXPECT_EQ(FitCaption(pair, 38, measure), u"ab\u2026");
  EXPECT_EQ(FitCaption(pair, 48, measure), u"ab\U00020000\u2026");
  EXPECT_EQ(FitCaption(u"cafe\u0301s", 48, measure), u"caf\u2026");
  EXPECT_EQ(FitCaption(u"cafe\u0301s", 58, measure), u"cafe\u0301\u2026");
  // A zero-width joiner binds what stands on both its sides: the family emoji is drawn whole or
  // not at all, never as its first member with a dangling joiner.
  const std::u16string family = u"ab\U0001F468\u200D\U0001F469cd";
  EXPECT_EQ(FitCaption(family, 68, measure), u"ab\u2026");
  EXPECT_EQ(FitCaption(family, 78, measure), u"ab\U0001F468\u200D\U0001F469\u2026");
  EXPECT_EQ(FitCaption(u"abc", 8, measure), u"\u2026");
  EXPECT_EQ(FitCaption(u"abc", 5, measure), u"");
  // A Chinese name of 255 characters needs a handful of measurements, not one per character.
  calls = 0;
  const std::u16string long_name(255, u'\u6587');
  const auto fitted = FitCaption(long_name, 200, measure);
  EXPECT_EQ(fitted, std::u16string(19, u'\u6587') + kEllipsis);
  EXPECT_LE(calls, 12);
}

TEST(Twips, FormAndStripMeetAtTheSameEdge) {
  // The form turns its width into twips less the strip's left offset; the strip turns its
  // left and left + width back into pixels: its right edge must be the form's, at any DPI.
  for (int dpi : {96, 120, 144, 192}) {
    for (double left : {-100.0, -90.0, -70.0, 0.0}) {
      for (int form = 1; form < 3000; form += 7) {
        const double width = PixelsToTwips(form, dpi) - left;
        EXPECT_EQ(TwipsToPixels(left + width, dpi), form) << dpi << " " << left << " " << form;
      }
    }
  }
  EXPECT_EQ(TwipsToPixels(-100, 96), -7);
  EXPECT_EQ(TwipsToPixels(-100, 144), -10);
}

}  // namespace
}  // namespace vestrano::tabctl
