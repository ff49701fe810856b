// An in-memory tab strip: items in insertion order, one selected item whose change raises
// SelectedChanged synchronously, the paint manager and colour set as plain properties, and a
// simple left-to-right layout for hit testing.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/fake/host_calls.h"
#include "host/platform.h"
#include "host/tab_control.h"
#include "scenario/observation_lines.h"

namespace vestrano::fake {

struct FakeTabItemState {
  std::string caption;
  std::string tooltip;
  int image = -1;
  bool alive = true;  // false once the item was removed from the row
};

struct FakePaintState {
  int appearance = 0;
  int color = 0;
  bool disable_luna_colors = false;
  int position = 0;
  bool show_icons = false;
  std::optional<Rgb> header_face_dark;
  std::optional<Rgb> header_face_light;
  std::optional<Rgb> button_normal;
};

class FakeTabControl final : public host::ITabControl,
                             public std::enable_shared_from_this<FakeTabControl> {
 public:
  explicit FakeTabControl(HostCalls& calls) : calls_(calls) {}

  // --- Observation and layout, without host calls. ---
  // The row as the scenario language shows it, in order.
  std::vector<scenario::TabView> Views() const;
  int Count() const { return static_cast<int>(items_.size()); }
  const FakeTabItemState& State(int index) const {
    return *items_.at(static_cast<std::size_t>(index));
  }
  std::optional<int> SelectedIndex() const { return selected_; }
  const FakePaintState& Paint() const { return paint_; }
  double LeftTwips() const { return left_; }
  double WidthTwips() const { return width_; }
  bool HasImageList() const { return image_list_ != nullptr; }
  int Refreshes() const { return refreshes_; }
  // Where tab `index` lies in the control's own coordinates, (left, right): tabs side by side,
  // each as wide as its caption needs, so that a click can be aimed at one.
  std::pair<int, int> ItemSpan(int index) const;

  // The user presses and releases `button` (1 left, 2 right, 4 middle) at (x, y): a left click on
  // a tab raises BeforeItemClick, then selects the tab (SelectedChanged when it changes) unless
  // cancelled; every click ends with MouseUp. The strip never takes the keyboard focus.
  void Press(int button, int x, int y);

  // Used by the item wrappers.
  bool Select(const std::shared_ptr<FakeTabItemState>& item);
  std::optional<int> IndexOf(const FakeTabItemState& item) const;
  HostCalls& Calls() { return calls_; }

  // --- host::ITabControl ---
  void SetEventSink(host::ITabControlEvents* sink) override { sink_ = sink; }
  bool RemoveAll() override;
  host::TabItemPtr Selected() override;
  std::optional<int> ItemCount() override;
  bool SetItemCount(int count) override;
  host::TabItemPtr Item(int index) override;
  host::TabItemPtr HitTest(int x, int y) override;
  bool SetImageList(const host::ImageListPtr& images) override;
  host::PaintManagerPtr PaintManager() override;
  bool SetAppearance(int appearance) override;
  std::optional<double> Left() override;
  bool SetLeft(double twips) override;
  bool SetWidth(double twips) override;
  bool Refresh() override;
  std::optional<int> PixelsPerInch() override;
  // The screen resolution the fake converts with (96 unless a test changes it).
  void SetPixelsPerInch(int dpi) { pixels_per_inch_ = dpi; }

  FakePaintState& MutablePaint() { return paint_; }

 private:
  host::TabItemPtr Wrap(const std::shared_ptr<FakeTabItemState>& state);

  HostCalls& calls_;
  host::ITabControlEvents* sink_ = nullptr;
  std::vector<std::shared_ptr<FakeTabItemState>> items_;
  std::optional<int> selected_;
  FakePaintState paint_;
  host::ImageListPtr image_list_;
  double left_ = 0;
  double width_ = 0;
  int refreshes_ = 0;
  int pixels_per_inch_ = 96;
};

class FakeImageList final : public host::IImageList {};

// Hands out fake controls and remembers the last ones, so that observers can read them.
class FakeControlFactory final : public host::IControlFactory {
 public:
  explicit FakeControlFactory(HostCalls& calls) : calls_(calls) {}
  host::TabBarControls CreateTabBarControls(Hwnd form) override;
  FakeTabControl* LastTabControl() const { return last_.get(); }

 private:
  HostCalls& calls_;
  std::shared_ptr<FakeTabControl> last_;
};

}  // namespace vestrano::fake
