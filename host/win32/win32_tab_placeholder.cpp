// The placeholder tab strip. Its child window follows the strip's Left and Width (twips, as the
// form's container gives them) so that the form's layout can already be seen and measured.
#include "host/win32/win32_tab_placeholder.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/win32/win32_handles.h"
#include "host/win32/win32_window_system.h"

namespace vestrano::win32 {
namespace {

struct ItemState {
  std::string caption;
  bool alive = true;
};

class PlaceholderTabs;

// Captions and the selection are kept, as the tab bar reads them back; what only the real
// control would show (tooltips, icons, colours) is accepted and dropped.
class PlaceholderItem final : public host::ITabItem {
 public:
  PlaceholderItem(std::shared_ptr<PlaceholderTabs> tabs, std::shared_ptr<ItemState> state)
      : tabs_(std::move(tabs)), state_(std::move(state)) {}
  std::optional<std::string> Caption() override {
    return state_->alive ? std::optional(state_->caption) : std::nullopt;
  }
  bool SetCaption(std::string_view caption) override {
    if (!state_->alive) return false;
    state_->caption = caption;
    return true;
  }
  bool SetToolTip(std::string_view) override { return state_->alive; }
  bool SetImage(int) override { return state_->alive; }
  bool SetSelected(bool selected) override;
  std::optional<int> Index() override;

 private:
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
  bool SetAppearance(int) override { return true; }
  bool SetColor(int) override { return true; }
  bool SetDisableLunaColors(bool) override { return true; }
  bool SetPosition(int) override { return true; }
  bool SetShowIcons(bool) override { return true; }
  host::ColorSetPtr ColorSet() override { return std::make_shared<PlaceholderColorSet>(); }
};

class PlaceholderImageList final : public host::IImageList {};

class PlaceholderTabs final : public host::ITabControl,
                              public std::enable_shared_from_this<PlaceholderTabs> {
 public:
  explicit PlaceholderTabs(HWND window) : window_(window) {}

  std::optional<int> IndexOf(const std::shared_ptr<ItemState>& item) const {
    const auto found = std::find(items_.begin(), items_.end(), item);
    if (found == items_.end()) return std::nullopt;
    return static_cast<int>(found - items_.begin());
  }
  bool Select(const std::shared_ptr<ItemState>& item) {
    const auto index = IndexOf(item);
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
  // Nothing is drawn, so nothing can be hit.
  host::TabItemPtr HitTest(int, int) override { return nullptr; }
  bool SetImageList(const host::ImageListPtr&) override { return true; }
  host::PaintManagerPtr PaintManager() override {
    return std::make_shared<PlaceholderPaintManager>();
  }
  bool SetAppearance(int) override { return true; }
  std::optional<double> Left() override { return left_; }
  bool SetLeft(double twips) override {
    left_ = twips;
    return Place();
  }
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
  double left_ = 0;
  double width_ = 0;
};

std::optional<int> PlaceholderItem::Index() {
  return state_->alive ? tabs_->IndexOf(state_) : std::nullopt;
}

bool PlaceholderItem::SetSelected(bool selected) {
  if (!state_->alive) return false;
  // A strip always shows one tab as current: only selecting means something.
  return !selected || tabs_->Select(state_);
}

}  // namespace

host::TabBarControls Win32ControlFactory::CreateTabBarControls(Hwnd form) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                      ToHwnd(form), nullptr, module_, nullptr);
  if (!window) return {};
  return {std::make_shared<PlaceholderTabs>(window), std::make_shared<PlaceholderImageList>()};
}

}  // namespace vestrano::win32
