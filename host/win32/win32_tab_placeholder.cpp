// The placeholder tab strip. Its child window follows the strip's Left and Width (twips, as the
// form's container gives them) so that the form's layout can already be seen and measured.
#include "host/win32/win32_tab_placeholder.h"

#include <memory>
#include <string>
#include <vector>

#include "host/win32/win32_handles.h"
#include "host/win32/win32_window_system.h"

namespace vestrano::win32 {
namespace {

struct ItemState {
  std::string caption;
  std::string tooltip;
  int image = -1;
  bool alive = true;
};

struct PaintState {
  int appearance = 0;
  int color = 0;
  int position = 0;
};

class PlaceholderTabs;

class PlaceholderItem final : public host::ITabItem {
 public:
  PlaceholderItem(std::shared_ptr<PlaceholderTabs> tabs, std::shared_ptr<ItemState> state)
      : tabs_(std::move(tabs)), state_(std::move(state)) {}
  std::optional<std::string> Caption() override {
    return Alive() ? std::optional(state_->caption) : std::nullopt;
  }
  bool SetCaption(std::string_view caption) override { return Set(&ItemState::caption, caption); }
  std::optional<std::string> ToolTip() override {
    return Alive() ? std::optional(state_->tooltip) : std::nullopt;
  }
  bool SetToolTip(std::string_view tip) override { return Set(&ItemState::tooltip, tip); }
  std::optional<int> Image() override {
    return Alive() ? std::optional(state_->image) : std::nullopt;
  }
  bool SetImage(int index) override { return Set(&ItemState::image, index); }
  std::optional<bool> Selected() override;
  bool SetSelected(bool selected) override;
  std::optional<int> Index() override;

 private:
  bool Alive() const { return state_->alive; }
  template <typename T, typename V>
  bool Set(T ItemState::*field, V value) {
    if (!Alive()) return false;
    state_.get()->*field = T(value);
    return true;
  }
  std::shared_ptr<PlaceholderTabs> tabs_;
  std::shared_ptr<ItemState> state_;
};

class PlaceholderColorSet final : public host::IColorSet {
 public:
  bool SetHeaderFaceDark(Rgb) override { return true; }
  bool SetHeaderFaceLight(Rgb) override { return true; }
  bool SetButtonNormal(Rgb) override { return true; }
};

class PlaceholderPaintManager final : public host::IPaintManager {
 public:
  explicit PlaceholderPaintManager(std::shared_ptr<PaintState> state) : state_(std::move(state)) {}
  std::optional<int> Appearance() override { return state_->appearance; }
  bool SetAppearance(int value) override { return Set(state_->appearance, value); }
  std::optional<int> Color() override { return state_->color; }
  bool SetColor(int value) override { return Set(state_->color, value); }
  bool SetDisableLunaColors(bool) override { return true; }
  std::optional<int> Position() override { return state_->position; }
  bool SetPosition(int value) override { return Set(state_->position, value); }
  bool SetShowIcons(bool) override { return true; }
  host::ColorSetPtr ColorSet() override { return std::make_shared<PlaceholderColorSet>(); }

 private:
  static bool Set(int& field, int value) {
    field = value;
    return true;
  }
  std::shared_ptr<PaintState> state_;
};

class PlaceholderImageList final : public host::IImageList {
 public:
  int Count() const override { return 14; }
};

class PlaceholderTabs final : public host::ITabControl,
                              public std::enable_shared_from_this<PlaceholderTabs> {
 public:
  explicit PlaceholderTabs(HWND window) : window_(window) {}

  std::optional<int> IndexOf(const ItemState& item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].get() == &item) return static_cast<int>(i);
    }
    return std::nullopt;
  }
  std::optional<int> SelectedIndex() const { return selected_; }
  bool Select(const std::shared_ptr<ItemState>& item) {
    const auto index = IndexOf(*item);
    if (!index) return false;
    if (selected_ == index) return true;
    selected_ = index;
    if (sink_) sink_->SelectedChanged(Wrap(item));
    return true;
  }

  void SetEventSink(host::ITabControlEvents* sink) override { sink_ = sink; }
  bool RemoveAll() override { return SetItemCount(0); }
  host::TabItemPtr Selected() override {
    return selected_ ? Wrap(items_[static_cast<std::size_t>(*selected_)]) : nullptr;
  }
  std::optional<int> ItemCount() override { return static_cast<int>(items_.size()); }
  bool SetItemCount(int count) override {
    if (count < 0) return false;
    const auto size = static_cast<std::size_t>(count);
    while (items_.size() > size) {
      items_.back()->alive = false;
      items_.pop_back();
    }
    while (items_.size() < size) items_.push_back(std::make_shared<ItemState>());
    if (selected_ && *selected_ >= count) selected_.reset();
    return true;
  }
  host::TabItemPtr Item(int index) override {
    if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
    return Wrap(items_[static_cast<std::size_t>(index)]);
  }
  host::TabItemPtr HitTest(int, int) override { return nullptr; }
  bool SetImageList(const host::ImageListPtr& images) override {
    images_ = images;
    return true;
  }
  host::PaintManagerPtr PaintManager() override {
    return std::make_shared<PlaceholderPaintManager>(paint_);
  }
  std::optional<int> Appearance() override { return appearance_; }
  bool SetAppearance(int appearance) override {
    appearance_ = appearance;
    return true;
  }
  std::optional<double> Left() override { return left_; }
  bool SetLeft(double twips) override {
    left_ = twips;
    return Place();
  }
  std::optional<double> Width() override { return width_; }
  bool SetWidth(double twips) override {
    width_ = twips;
    return Place();
  }
  bool Refresh() override { return InvalidateRect(window_, nullptr, TRUE) != FALSE; }

 private:
  host::TabItemPtr Wrap(const std::shared_ptr<ItemState>& state) {
    return std::make_shared<PlaceholderItem>(shared_from_this(), state);
  }
  // Twips to pixels at the screen's resolution, as a form's container converts them.
  static int ToPixels(double twips) {
    const UniqueWindowDc screen({nullptr, GetDC(nullptr)});
    const int dpi = screen ? GetDeviceCaps(screen.Get().dc, LOGPIXELSX) : 96;
    return static_cast<int>(twips * dpi / 1440.0);
  }
  bool Place() {
    RECT client{};
    GetClientRect(GetParent(window_), &client);
    return SetWindowPos(window_, nullptr, ToPixels(left_), 0, ToPixels(width_), client.bottom,
                        SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
  }

  HWND window_;
  host::ITabControlEvents* sink_ = nullptr;
  std::vector<std::shared_ptr<ItemState>> items_;
  std::optional<int> selected_;
  std::shared_ptr<PaintState> paint_ = std::make_shared<PaintState>();
  host::ImageListPtr images_;
  int appearance_ = 0;
  double left_ = 0;
  double width_ = 0;
};

std::optional<bool> PlaceholderItem::Selected() {
  if (!Alive()) return std::nullopt;
  return tabs_->SelectedIndex() == tabs_->IndexOf(*state_);
}

bool PlaceholderItem::SetSelected(bool selected) {
  if (!Alive()) return false;
  // A strip always shows one tab as current: only selecting means something.
  return !selected || tabs_->Select(state_);
}

std::optional<int> PlaceholderItem::Index() {
  if (!Alive()) return std::nullopt;
  return tabs_->IndexOf(*state_);
}

}  // namespace

host::TabBarControls Win32ControlFactory::CreateTabBarControls(Hwnd form) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                      ToHwnd(form), nullptr, module_, nullptr);
  if (!window) return {};
  return {std::make_shared<PlaceholderTabs>(window), std::make_shared<PlaceholderImageList>()};
}

}  // namespace vestrano::win32
