// The workbook area's subclass. Every step goes on whatever the previous one did: a window that
// cannot be found or a call that fails leaves that step undone, and the strip is made or removed
// as far as Windows lets it.
#include "winhook/desk_strip.h"

#include "core/host_version.h"
#include "core/office_colors.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/diagnostics.h"
#include "host/platform.h"
#include "host/platform_handles.h"
#include "host/registry.h"

namespace vestrano {
namespace {

constexpr std::string_view kDeskClass = "XLDESK";
constexpr std::string_view kFormulaBarClass = "EXCEL<";
// A window of Excel's that, while visible, takes the strip's place.
constexpr std::string_view kCoveringClass = "EXCELB";

host::IWindowSystem* Windows() {
  return host::CurrentPlatform().windows;
}

void ReadOfficeTheme() {
  GetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, Shared().nOfficeTheme);
}

std::intptr_t Forward(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
  auto* windows = Windows();
  const auto previous = Subclass().lpPrevDeskProc;
  return windows && previous ? windows->CallPreviousProc(previous, hwnd, message, wparam, lparam)
                             : 0;
}

std::intptr_t OnNcCalcSize(Hwnd hwnd, std::uintptr_t wparam, std::intptr_t lparam) {
  auto* params = reinterpret_cast<host::NcCalcSizeParams*>(lparam);
  if (CountVisibleWorkbooks(1) < 1 || wparam == 0 || !params || !params->lppos) {
    return Forward(hwnd, host::kWmNcCalcSize, wparam, lparam);
  }
  // The client area is computed from the window's new position alone, so the area keeps no
  // border of its own: the whole window less the strip.
  const host::WindowPos& pos = *params->lppos;
  Rect client{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  if (Shared().nTabPosition == 0) {
    client.top += kStripHeight;
  } else {
    client.bottom -= kStripHeight;
  }
  params->rgrc[0] = client;
  params->rgrc[1] = client;
  return host::kWvrValidRects;
}

int BarWidth(const Rect& desk, std::optional<double> version) {
  const int full = desk.Width() - 2 * kBarInset;
  auto& app = Shared().oExcelApp;
  const bool formula_bar = app && app->DisplayFormulaBar().value_or(false);
  if (!formula_bar || Shared().nTabPosition != 0 || !version || *version >= 12) return full;
  // Excel 2003's formula bar may reach down over the workbook area's top rows.
  const Rect bar = Windows()->GetWindowRect(Subclass().hBarWnd).value_or(Rect{});
  if (bar.bottom - desk.top > kFormulaBarOverlap) return bar.left - desk.left - kFormulaBarGap;
  return full;
}

void PaintStrip(const Rect& desk, std::optional<double> version) {
  const auto color = StripColor(version, Shared().nOfficeTheme);
  if (!color) return;
  const Rect strip = Shared().nTabPosition == 0
                         ? Rect{0, 0, desk.Width(), kStripHeight}
                         : Rect{0, desk.Height() - kStripHeight, desk.Width(), desk.Height()};
  Windows()->FillWindowRect(Shared().hDeskWnd, strip, *color);
}

void PlaceBar(const Rect& desk, int width, std::optional<double> version, std::uintptr_t wparam) {
  auto* windows = Windows();
  auto& shared = Shared();
  const Point screen_anchor = shared.nTabPosition == 0 ? Point{desk.left, desk.top}
                                                       : Point{desk.left, desk.bottom - kBarHeight};
  const Point anchor =
      windows->ScreenToClient(shared.hExcelWnd, screen_anchor).value_or(screen_anchor);
  const auto place = [&](Hwnd form, std::uint32_t show_flag) {
    windows->SetWindowPos(form, host::kHwndTop, anchor.x + kBarInset, anchor.y, width, kBarHeight,
                          show_flag);
  };
  const auto& form = shared.oTabForm;
  const Hwnd found = windows->FindChildWindow(shared.hExcelWnd, Hwnd{}, kFormClass, kFormCaption);
  if (!found) {
    // Loading the form makes it a child of Excel's window; the lock keeps that from flashing.
    // Excel's whole window paints nothing while it is held, so it goes on every way out.
    const host::UniqueWindowUpdateLock lock(
        windows->LockWindowUpdate(shared.hExcelWnd) ? shared.hExcelWnd : Hwnd{});
    if (form) {
      form->Show();
      place(form->hWnd(), host::kSwpShowWindow);
    }
  } else if (const Hwnd covering =
                 windows->FindChildWindow(shared.hExcelWnd, Hwnd{}, kCoveringClass, std::nullopt);
             covering && windows->IsWindowVisible(covering)) {
    if (form) place(form->hWnd(), host::kSwpHideWindow);
  } else {
    if (version && *version > 11 && wparam == 1) ApplyOfficeColors();
    if (form) place(form->hWnd(), host::kSwpShowWindow);
  }
  if (shared.bRestoreFocus) {
    shared.bRestoreFocus = false;
    windows->SetFocus(shared.hExcelWnd);
  }
}

std::intptr_t OnNcPaint(Hwnd hwnd, std::uintptr_t wparam, std::intptr_t lparam) {
  if (CountVisibleWorkbooks(1) < 1) return Forward(hwnd, host::kWmNcPaint, wparam, lparam);
  const auto version = ReadHostVersion();
  const Rect desk = Windows()->GetWindowRect(Shared().hDeskWnd).value_or(Rect{});
  // A change of the Office colour scheme shows at the next paint.
  if (version && *version > 11) ReadOfficeTheme();
  const int width = BarWidth(desk, version);
  PaintStrip(desk, version);
  PlaceBar(desk, width, version, wparam);
  return 0;
}

}  // namespace

SubclassState& Subclass() {
  static SubclassState state;
  return state;
}

void RequestDeskFrameChange() {
  if (auto* windows = Windows()) {
    windows->SetWindowPos(Shared().hDeskWnd, Hwnd{}, 0, 0, 0, 0, host::kFrameChangeFlags);
  }
}

void SubclassDesk() {
  auto* windows = Windows();
  auto& state = Subclass();
  auto& shared = Shared();
  if (state.lpPrevDeskProc != 0 || !windows) return;
  state.hBarWnd =
      windows->FindChildWindow(shared.hExcelWnd, Hwnd{}, kFormulaBarClass, std::nullopt);
  shared.hDeskWnd = windows->FindChildWindow(shared.hExcelWnd, Hwnd{}, kDeskClass, std::nullopt);
  if (!shared.hDeskWnd) return;
  state.lpPrevDeskProc = windows->SubclassWindow(shared.hDeskWnd, DeskWindowProc);
  RequestDeskFrameChange();
}

void UnsubclassDesk() {
  auto* windows = Windows();
  auto& state = Subclass();
  if (state.lpPrevDeskProc == 0 || !windows) return;
  windows->UnsubclassWindow(Shared().hDeskWnd, DeskWindowProc, state.lpPrevDeskProc);
  state.lpPrevDeskProc = 0;
  RequestDeskFrameChange();
}

std::intptr_t DeskWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam) {
  // Without the window system there is nothing to paint with and no procedure to pass on to.
  if (!Windows()) return 0;
  try {
    switch (message) {
      case host::kWmNcCalcSize:
        return OnNcCalcSize(hwnd, wparam, lparam);
      case host::kWmNcPaint:
        return OnNcPaint(hwnd, wparam, lparam);
      default:
        return Forward(hwnd, message, wparam, lparam);
    }
  } catch (...) {
    // Nothing may unwind into Excel's message loop.
    host::ReportCaughtException("DeskWindowProc");
    return 0;
  }
}

void ApplyOfficeColors() {
  const auto version = ReadHostVersion();
  if (!version || *version <= 11) return;
  ReadOfficeTheme();
  const auto& form = Shared().oTabForm;
  const auto& tabs = form ? form->TabSeclect() : nullptr;
  auto paint = tabs ? tabs->PaintManager() : nullptr;
  auto colors = paint ? paint->ColorSet() : nullptr;
  if (colors) SetOfficeSchemeColors(*colors, Shared().nOfficeTheme);
  colors.reset();
  if (tabs) tabs->Refresh();
}

}  // namespace vestrano
