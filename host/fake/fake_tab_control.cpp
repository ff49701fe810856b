// The in-memory tab strip. Item wrappers keep their state alive, so an item reference held across
// a RemoveAll fails cleanly instead of touching a tab that is gone.
#include "host/fake/fake_tab_control.h"

#include <algorithm>

namespace vestrano::fake {
namespace {

class FakeTabItem final : public host::ITabItem {
 public:
  FakeTabItem(std::shared_ptr<FakeTabControl> control, std::shared_ptr<FakeTabItemState> state)
      : control_(std::move(control)), state_(std::move(state)) {}

  std::optional<std::string> Caption() override {
    if (!Alive("TabItem.Caption")) return std::nullopt;
    return state_->caption;
  }
  bool SetCaption(std::string_view caption) override {
    if (!Alive("TabItem.SetCaption")) return false;
    state_->caption = caption;
    return true;
  }
  bool SetToolTip(std::string_view tooltip) override {
    if (!Alive("TabItem.SetToolTip")) return false;
    state_->tooltip = tooltip;
    return true;
  }
  bool SetImage(int index) override {
    if (!Alive("TabItem.SetImage")) return false;
    state_->image = index;
    return true;
  }
  bool SetSelected(bool selected) override {
    if (!Alive("TabItem.SetSelected")) return false;
    // Only selecting is meaningful for a strip that always shows one tab as current.
    return !selected || control_->Select(state_);
  }
  std::optional<int> Index() override {
    if (!Alive("TabItem.Index")) return std::nullopt;
    return control_->IndexOf(*state_);
  }

 private:
  bool Alive(std::string_view call) { return control_->Calls().Enter(call) && state_->alive; }
  std::shared_ptr<FakeTabControl> control_;
  std::shared_ptr<FakeTabItemState> state_;
};

class FakeColorSet final : public host::IColorSet {
 public:
  explicit FakeColorSet(std::shared_ptr<FakeTabControl> control) : control_(std::move(control)) {}
  bool SetHeaderFaceDark(Rgb color) override {
    return Set("ColorSet.SetHeaderFaceDark", &FakePaintState::header_face_dark, color);
  }
  bool SetHeaderFaceLight(Rgb color) override {
    return Set("ColorSet.SetHeaderFaceLight", &FakePaintState::header_face_light, color);
  }
  bool SetButtonNormal(Rgb color) override {
    return Set("ColorSet.SetButtonNormal", &FakePaintState::button_normal, color);
  }

 private:
  bool Set(std::string_view call, std::optional<Rgb> FakePaintState::*field, Rgb color) {
    if (!control_->Calls().Enter(call)) return false;
    control_->MutablePaint().*field = color;
    return true;
  }
  std::shared_ptr<FakeTabControl> control_;
};

class FakePaintManager final : public host::IPaintManager {
 public:
  explicit FakePaintManager(std::shared_ptr<FakeTabControl> control)
      : control_(std::move(control)) {}
  bool SetAppearance(int value) override {
    return Set("PaintManager.SetAppearance", &FakePaintState::appearance, value);
  }
  bool SetColor(int value) override {
    return Set("PaintManager.SetColor", &FakePaintState::color, value);
  }
  bool SetDisableLunaColors(bool value) override {
    return Set("PaintManager.SetDisableLunaColors", &FakePaintState::disable_luna_colors, value);
  }
  bool SetPosition(int value) override {
    return Set("PaintManager.SetPosition", &FakePaintState::position, value);
  }
  bool SetShowIcons(bool value) override {
    return Set("PaintManager.SetShowIcons", &FakePaintState::show_icons, value);
  }
  host::ColorSetPtr ColorSet() override {
    if (!control_->Calls().Enter("PaintManager.ColorSet")) return nullptr;
    return std::make_shared<FakeColorSet>(control_);
  }

 private:
  template <typename T>
  bool Set(std::string_view call, T FakePaintState::*field, T value) {
    if (!control_->Calls().Enter(call)) return false;
    control_->MutablePaint().*field = value;
    return true;
  }
  std::shared_ptr<FakeTabControl> control_;
};

// Layout of the fake strip: tabs side by side, each as wide as its caption needs.
constexpr int kCharWidth = 7;
constexpr int kTabPadding = 30;

}  // namespace

std::pair<int, int> FakeTabControl::ItemSpan(int index) const {
  const auto width = [&](int i) {
    return kTabPadding +
           kCharWidth * static_cast<int>(items_[static_cast<std::size_t>(i)]->caption.size());
  };
  int left = 0;
  for (int i = 0; i < index && i < Count(); ++i) left += width(i);
  return {left, index < Count() ? left + width(index) : left};
}

void FakeTabControl::Press(int button, int x, int y) {
  // Kept alive: the events may rebuild the row or unload the form.
  const auto self = shared_from_this();
  std::shared_ptr<FakeTabItemState> hit;
  for (int i = 0; i < Count() && y >= 0; ++i) {
    const auto [left, right] = ItemSpan(i);
    if (x >= left && x < right) hit = items_[static_cast<std::size_t>(i)];
  }
  if (button == 1 && hit) {
    bool cancel = false;
    if (sink_) sink_->BeforeItemClick(Wrap(hit), cancel);
    if (!cancel && hit->alive) Select(hit);
  }
  if (sink_) sink_->MouseUp(button, 0, static_cast<float>(x), static_cast<float>(y));
}

std::vector<scenario::TabView> FakeTabControl::Views() const {
  std::vector<scenario::TabView> views;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const FakeTabItemState& item = *items_[i];
    views.push_back({item.caption, item.tooltip, item.image, selected_ == static_cast<int>(i)});
  }
  return views;
}

std::optional<int> FakeTabControl::IndexOf(const FakeTabItemState& item) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == &item) return static_cast<int>(i);
  }
  return std::nullopt;
}

bool FakeTabControl::Select(const std::shared_ptr<FakeTabItemState>& item) {
  const auto index = IndexOf(*item);
  if (!index) return false;
  if (selected_ == index) return true;
  selected_ = index;
  if (sink_) sink_->SelectedChanged(Wrap(item));
  return true;
}

host::TabItemPtr FakeTabControl::Wrap(const std::shared_ptr<FakeTabItemState>& state) {
  return std::make_shared<FakeTabItem>(shared_from_this(), state);
}

bool FakeTabControl::RemoveAll() {
  if (!calls_.Enter("TabControl.RemoveAll")) return false;
  for (const auto& item : items_) item->alive = false;
  items_.clear();
  selected_.reset();
  return true;
}

host::TabItemPtr FakeTabControl::Selected() {
  if (!calls_.Enter("TabControl.Selected") || !selected_) return nullptr;
  return Wrap(items_[static_cast<std::size_t>(*selected_)]);
}

std::optional<int> FakeTabControl::ItemCount() {
  if (!calls_.Enter("TabControl.ItemCount")) return std::nullopt;
  return Count();
}

bool FakeTabControl::SetItemCount(int count) {
  if (!calls_.Enter("TabControl.SetItemCount") || count < 0) return false;
  while (Count() > count) {
    items_.back()->alive = false;
    items_.pop_back();
  }
  while (Count() < count) items_.push_back(std::make_shared<FakeTabItemState>());
  if (selected_ && *selected_ >= count) selected_.reset();
  return true;
}

host::TabItemPtr FakeTabControl::Item(int index) {
  if (!calls_.Enter("TabControl.Item") || index < 0 || index >= Count()) return nullptr;
  return Wrap(items_[static_cast<std::size_t>(index)]);
}

host::TabItemPtr FakeTabControl::HitTest(int x, int y) {
  if (!calls_.Enter("TabControl.HitTest") || y < 0) return nullptr;
  for (int i = 0; i < Count(); ++i) {
    const auto [left, right] = ItemSpan(i);
    if (x >= left && x < right) return Wrap(items_[static_cast<std::size_t>(i)]);
  }
  return nullptr;
}

bool FakeTabControl::SetImageList(const host::ImageListPtr& images) {
  if (!calls_.Enter("TabControl.SetImageList")) return false;
  image_list_ = images;
  return true;
}

host::PaintManagerPtr FakeTabControl::PaintManager() {
  if (!calls_.Enter("TabControl.PaintManager")) return nullptr;
  return std::make_shared<FakePaintManager>(shared_from_this());
}

bool FakeTabControl::SetAppearance(int appearance) {
  if (!calls_.Enter("TabControl.SetAppearance")) return false;
  paint_.appearance = appearance;
  return true;
}

std::optional<double> FakeTabControl::Left() {
  if (!calls_.Enter("TabControl.Left")) return std::nullopt;
  return left_;
}

bool FakeTabControl::SetLeft(double twips) {
  if (!calls_.Enter("TabControl.SetLeft")) return false;
  left_ = twips;
  return true;
}

bool FakeTabControl::SetWidth(double twips) {
  if (!calls_.Enter("TabControl.SetWidth")) return false;
  width_ = twips;
  return true;
}

bool FakeTabControl::Refresh() {
  if (!calls_.Enter("TabControl.Refresh")) return false;
  ++refreshes_;
  return true;
}

std::optional<int> FakeTabControl::PixelsPerInch() {
  if (!calls_.Enter("TabControl.PixelsPerInch")) return std::nullopt;
  return pixels_per_inch_;
}

host::TabBarControls FakeControlFactory::CreateTabBarControls(Hwnd) {
  // A refused creation stands for a tab strip module that is neither registered nor on disk.
  if (!calls_.Enter("Controls.CreateTabBarControls")) return {};
  last_ = std::make_shared<FakeTabControl>(calls_);
  return {last_, std::make_shared<FakeImageList>()};
}

}  // namespace vestrano::fake
