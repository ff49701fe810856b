// The tab strip's items and clicks.
#include "tabctl/tab_strip_model.h"

#include <algorithm>
#include <utility>

namespace vestrano::tabctl {

std::optional<int> TabStripModel::IndexOf(ItemId id) const {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [id](const TabItem& item) { return item.id == id; });
  if (found == items_.end()) return std::nullopt;
  return static_cast<int>(found - items_.begin());
}

std::optional<int> TabStripModel::SelectedIndex() const {
  return selected_ ? IndexOf(*selected_) : std::nullopt;
}

void TabStripModel::RemoveAll() {
  items_.clear();
  selected_.reset();
  ++generation_;
}

bool TabStripModel::SetCount(int count) {
  if (count < 0) return false;
  const auto size = static_cast<std::size_t>(count);
  if (items_.size() > size) items_.resize(size);
  while (items_.size() < size) items_.push_back(TabItem{next_id_++, {}, {}, -1});
  if (selected_ && !IndexOf(*selected_)) selected_.reset();
  ++generation_;
  return true;
}

bool TabStripModel::SetCaption(ItemId id, std::u16string caption) {
  const auto index = IndexOf(id);
  if (!index) return false;
  auto& item = items_[static_cast<std::size_t>(*index)];
  if (item.caption != caption) {
    item.caption = std::move(caption);
    ++generation_;
  }
  return true;
}

bool TabStripModel::SetToolTip(ItemId id, std::u16string tooltip) {
  const auto index = IndexOf(id);
  if (!index) return false;
  items_[static_cast<std::size_t>(*index)].tooltip = std::move(tooltip);
  return true;
}

bool TabStripModel::SetImage(ItemId id, int image) {
  const auto index = IndexOf(id);
  if (!index) return false;
  auto& item = items_[static_cast<std::size_t>(*index)];
  if (item.image != image) {
    item.image = image;
    ++generation_;
  }
  return true;
}

bool TabStripModel::Select(ItemId id) {
  if (!IndexOf(id)) return false;
  reveal_ = true;
  if (selected_ == id) return true;
  selected_ = id;
  ++generation_;
  if (events_) events_->SelectedChanged(id);
  return true;
}

bool TabStripModel::TakeRevealRequest() {
  return std::exchange(reveal_, false);
}

void TabStripModel::PressButton(int button, int shift, int x, int y, const StripLayout& layout) {
  const Hit hit = HitTestStrip(layout, x, y, SelectedIndex());
  if (hit.kind == HitKind::kScrollBack || hit.kind == HitKind::kScrollOn) {
    if (button == kLeftButton) ScrollBy(hit.kind == HitKind::kScrollOn ? 1 : -1, layout);
    return;
  }
  held_buttons_ |= button;
  if (button != kLeftButton || hit.kind != HitKind::kTab) return;
  (void)shift;
  const ItemId id = items_[static_cast<std::size_t>(hit.index)].id;
  bool cancel = false;
  if (events_) events_->BeforeItemClick(id, cancel);
  if (!cancel) Select(id);
}

void TabStripModel::ReleaseButton(int button, int shift, int x, int y) {
  if (!(held_buttons_ & button)) return;
  held_buttons_ &= ~button;
  if (events_) events_->MouseUp(button, shift, static_cast<float>(x), static_cast<float>(y));
}

bool TabStripModel::ClickItem(ItemId id, const std::function<StripLayout()>& layout) {
  if (!IndexOf(id)) return false;
  bool cancel = false;
  if (events_) events_->BeforeItemClick(id, cancel);
  if (!cancel) Select(id);
  if (!events_) return true;
  // The handlers may have rebuilt the row; then the selected tab stands for the clicked one.
  const auto index = IndexOf(id) ? IndexOf(id) : SelectedIndex();
  const StripLayout now = layout();
  float x = 0;
  if (index && static_cast<std::size_t>(*index) < now.tabs.size()) {
    const TabSlot& slot = now.tabs[static_cast<std::size_t>(*index)];
    x = static_cast<float>(std::max(slot.left, 0) + std::min(slot.right, now.tab_area_right)) / 2;
  }
  events_->MouseUp(kLeftButton, 0, x, static_cast<float>(now.height / 2));
  return true;
}

void TabStripModel::ScrollBy(int tabs, const StripLayout& layout) {
  if (!layout.scrolls) return;
  first_ = std::max(0, layout.first + tabs);
}

}  // namespace vestrano::tabctl
