// The tab strip's state apart from any window: the items in insertion order, the selected one,
// which tab the row starts with, and what a press and release of a mouse button mean (the
// events BeforeItemClick, SelectedChanged and MouseUp, in that order for one click). The
// Win32 control owns one and draws what it says.
//
// Event handlers may change the strip while an event is raised (selecting a tab makes the host
// rebuild the row), so after raising an event the model looks its items up again by id and
// never keeps an index or a reference across it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tabctl/tab_layout.h"

namespace vestrano::tabctl {

using ItemId = std::uint64_t;

struct TabItem {
  ItemId id = 0;
  std::u16string caption;
  std::u16string tooltip;
  int image = -1;  // index into the image list; -1 none
};

// Mouse buttons and shift states as the events carry them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

class IStripEvents {
 public:
  virtual ~IStripEvents() = default;
  virtual void BeforeItemClick(ItemId item, bool& cancel) = 0;
  virtual void SelectedChanged(ItemId item) = 0;
  // x and y in the control's client pixels, the units HitTest takes.
  virtual void MouseUp(int button, int shift, float x, float y) = 0;
};

class TabStripModel {
 public:
  void SetEvents(IStripEvents* events) { events_ = events; }

  int Count() const { return static_cast<int>(items_.size()); }
  const TabItem& At(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  const std::vector<TabItem>& Items() const { return items_; }
  std::optional<int> IndexOf(ItemId id) const;
  std::optional<int> SelectedIndex() const;

  void RemoveAll();
  // Makes the row `count` items long: new items are empty, items past the end are removed.
  bool SetCount(int count);
  bool SetCaption(ItemId id, std::u16string caption);
  bool SetToolTip(ItemId id, std::u16string tooltip);
  bool SetImage(ItemId id, int image);
  // Selects the item; raises SelectedChanged (before returning) when the selection changed.
  bool Select(ItemId id);

  // Changes with every change that can move a tab (captions, images, the row itself).
  std::uint64_t Generation() const { return generation_; }

  // The tab the row should start with; the layout keeps it in range.
  int First() const { return first_; }
  void SetFirst(int first) { first_ = first < 0 ? 0 : first; }
  // True once after each change of selection: the selected tab should be scrolled into view.
  bool TakeRevealRequest();

  // A mouse button went down or up over the control at (x, y), laid out as `layout`. A left
  // press on a tab raises BeforeItemClick and, unless cancelled, selects the tab; a press on an
  // arrow scrolls the row. A release raises MouseUp for every button that went down over the
  // control, except over the arrows, which are the control's own.
  void PressButton(int button, int shift, int x, int y, const StripLayout& layout);
  void ReleaseButton(int button, int shift, int x, int y);
  // Forgets the buttons still held but `keep` (the control lost the mouse capture).
  void CancelButtons(int keep = 0) { held_buttons_ &= keep; }
  // A click on the tab, as a screen reader's default action makes it: the events of a left
  // click, with MouseUp at the middle of the tab once it is selected and scrolled into view
  // (`layout` lays the row out as it is at that moment), so that HitTest finds it there.
  bool ClickItem(ItemId id, const std::function<StripLayout()>& layout);
  // Scrolls by whole tabs: positive towards the end of the row.
  void ScrollBy(int tabs, const StripLayout& layout);

 private:
  std::vector<TabItem> items_;
  std::optional<ItemId> selected_;
  IStripEvents* events_ = nullptr;
  ItemId next_id_ = 1;
  std::uint64_t generation_ = 0;
  int first_ = 0;
  bool reveal_ = false;
  int held_buttons_ = 0;
};

}  // namespace vestrano::tabctl
