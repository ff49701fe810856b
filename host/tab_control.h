// The tab strip control that the tab bar form hosts, with its items, paint manager, colour set
// and image list: exactly the members the tab bar uses. Our own tab control implements it on
// Windows; the fake implements it in memory. Setters return false when the control refused.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/types.h"

namespace vestrano::host {

class ITabItem {
 public:
  virtual ~ITabItem() = default;
  virtual std::optional<std::string> Caption() = 0;
  virtual bool SetCaption(std::string_view caption) = 0;
  virtual bool SetToolTip(std::string_view tooltip) = 0;
  virtual bool SetImage(int index) = 0;
  // Writing true selects the item; when the selection changes, the control raises
  // SelectedChanged before this returns.
  virtual bool SetSelected(bool selected) = 0;
  // 0-based position in the row.
  virtual std::optional<int> Index() = 0;
};
using TabItemPtr = std::shared_ptr<ITabItem>;

class IColorSet {
 public:
  virtual ~IColorSet() = default;
  virtual bool SetHeaderFaceDark(Rgb color) = 0;
  virtual bool SetHeaderFaceLight(Rgb color) = 0;
  virtual bool SetButtonNormal(Rgb color) = 0;
};
using ColorSetPtr = std::shared_ptr<IColorSet>;

// Appearance values of the paint manager and the control.
inline constexpr int kAppearanceOffice2003 = 3;
inline constexpr int kAppearanceExcel = 7;
inline constexpr int kAppearanceAccess2007 = 11;
// Colour styles.
inline constexpr int kColorDefault = 1;
inline constexpr int kColorOffice2003 = 4;
// Tab positions.
inline constexpr int kPositionTop = 0;
inline constexpr int kPositionBottom = 2;

class IPaintManager {
 public:
  virtual ~IPaintManager() = default;
  virtual bool SetAppearance(int appearance) = 0;
  virtual bool SetColor(int color) = 0;
  virtual bool SetDisableLunaColors(bool disable) = 0;
  virtual bool SetPosition(int position) = 0;
  virtual bool SetShowIcons(bool show) = 0;
  virtual ColorSetPtr ColorSet() = 0;
};
using PaintManagerPtr = std::shared_ptr<IPaintManager>;

// The tab icons (16 x 16, fourteen kinds in a fixed order; see tabbar/tab_images.h).
// Only the control that shows them looks inside.
class IImageList {
 public:
  virtual ~IImageList() = default;
};
using ImageListPtr = std::shared_ptr<IImageList>;

// What the control reports to the form that hosts it. Mouse coordinates are in the units that
// HitTest takes.
class ITabControlEvents {
 public:
  virtual ~ITabControlEvents() = default;
  // Raised before SelectedChanged and MouseUp of the same click; `cancel` stops the click.
  virtual void BeforeItemClick(const TabItemPtr& item, bool& cancel) = 0;
  virtual void SelectedChanged(const TabItemPtr& item) = 0;
  // button: 1 left, 2 right, 4 middle.
  virtual void MouseUp(int button, int shift, float x, float y) = 0;
};

class ITabControl {
 public:
  virtual ~ITabControl() = default;
  // The control raises its events to `sink` (or to nobody when null).
  virtual void SetEventSink(ITabControlEvents* sink) = 0;
  virtual bool RemoveAll() = 0;
  // The selected item; null when none is selected.
  virtual TabItemPtr Selected() = 0;
  virtual std::optional<int> ItemCount() = 0;
  // Writing n makes the row n empty items long.
  virtual bool SetItemCount(int count) = 0;
  // 0-based; null when out of range.
  virtual TabItemPtr Item(int index) = 0;
  // The item under the point, null over the empty strip. The point is in the units of the
  // control's MouseUp, relative to the control.
  virtual TabItemPtr HitTest(int x, int y) = 0;
  virtual bool SetImageList(const ImageListPtr& images) = 0;
  virtual PaintManagerPtr PaintManager() = 0;
  virtual bool SetAppearance(int appearance) = 0;
  // Placement inside the form, in twips (the container's extender properties).
  virtual std::optional<double> Left() = 0;
  virtual bool SetLeft(double twips) = 0;
  virtual bool SetWidth(double twips) = 0;
  // Redraws the control now, so that changed colours show.
  virtual bool Refresh() = 0;
  // The screen's pixels per inch with which the control turns Left and Width into pixels; the
  // form converts its own pixels to twips with the same value, so that both meet at its edge.
  virtual std::optional<int> PixelsPerInch() = 0;
};
using TabControlPtr = std::shared_ptr<ITabControl>;

}  // namespace vestrano::host
