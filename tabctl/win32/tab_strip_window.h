// The tab strip's window: a child window that draws the model double-buffered, turns mouse
// input into the model's clicks, shows each tab's tooltip through a tooltip control, and answers
// screen readers with its accessible object. Owned by the strip's COM object; everything it
// makes (fonts, the tooltip window, the window itself) it destroys again.
#pragma once

#include "host/win32/windows_api.h"

// After <windows.h>, which they build on.
#include <commctrl.h>
#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

#include "host/win32/com_ptr.h"
#include "host/win32/windows_api.h"
#include "tabctl/tab_layout.h"
#include "tabctl/tab_strip_model.h"
#include "tabctl/win32/gdi_handles.h"
#include "tabctl/win32/tab_painter.h"

namespace vestrano::tabctl {

class TabAccessible;

class TabStripWindow {
 public:
  // `owner` is kept alive while the window handles a message, since an event handler may let go
  // of the strip; `module` owns the window class.
  TabStripWindow(TabStripModel& model, IUnknown* owner, HINSTANCE module);
  ~TabStripWindow();
  TabStripWindow(const TabStripWindow&) = delete;
  TabStripWindow& operator=(const TabStripWindow&) = delete;

  bool Create(HWND parent);
  HWND Handle() const { return hwnd_; }
  int Dpi() const { return dpi_; }
  int IconSize() const;

  Look& MutableLook() { return look_; }
  void SetImageList(HIMAGELIST images);
  // Placement in twips inside the parent; the height is the parent's client height.
  double LeftTwips() const { return left_twips_; }
  double WidthTwips() const { return width_twips_; }
  bool Place(double left_twips, double width_twips);

  // The model or the look changed: lay out again and repaint when Windows next asks.
  void Changed();
  bool RepaintNow();
  // The current layout, made afresh when something changed.
  const StripLayout& Layout();
  // A tab's rectangle in screen coordinates, clipped to the tab area; empty when hidden.
  RECT TabScreenRect(int index);

  // Windows' procedure for the class, and whether the class is still registered.
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  static bool ClassInUse();

 private:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void OnButton(int button, bool down, WPARAM wparam, LPARAM lparam);
  void OnDestroy();
  void TrackHot(std::optional<int> hot);
  void MakeFont();
  TabMetrics Metrics() const;
  std::vector<int> CaptionWidths();
  void SyncTooltips();
  LRESULT OnGetObject(WPARAM wparam, LPARAM lparam);
  // The registered message kItemImageMessage, and its answer.
  static UINT ItemImageMessage();
  LRESULT ItemImage(WPARAM index) const;

  TabStripModel& model_;
  IUnknown* owner_;
  HINSTANCE module_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  int dpi_ = 96;
  Look look_;
  UniqueFont font_;
  HIMAGELIST images_ = nullptr;
  double left_twips_ = 0;
  double width_twips_ = 0;
  bool layout_valid_ = false;
  StripLayout layout_;
  std::optional<int> hot_;       // the tab under the pointer, lit up
  bool tracking_leave_ = false;  // WM_MOUSELEAVE is asked for
  int releasing_button_ = 0;     // the button whose release lets go of the capture, meanwhile
  int tools_ = 0;                // tooltip tools now registered, ids 0..tools_-1
  std::wstring tooltip_text_;    // what the tooltip shows, kept until it asks again
  vestrano::win32::ComPtr<TabAccessible> accessible_;
};

}  // namespace vestrano::tabctl
