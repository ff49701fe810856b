// The subclass of Excel's workbook area ("XLDESK"): it turns a 24-pixel strip at the top or
// bottom of the area into non-client space, paints it in the Office scheme's colour and places
// the tab bar over it.
#pragma once

#include <cstdint>

#include "host/types.h"
#include "host/window_system.h"

namespace vestrano {

// Geometry of the strip, in pixels.
inline constexpr int kStripHeight = 24;
// The bar is one row taller than the strip, so that it also covers the client row next to it.
inline constexpr int kBarHeight = 25;
inline constexpr int kBarInset = 2;
// Under Excel 2003's formula bar rule: an overlap of more than this many rows shortens the bar,
// which then ends this many pixels left of the formula bar.
inline constexpr int kFormulaBarOverlap = 3;
inline constexpr int kFormulaBarGap = 2;

// Module-level state of the subclass.
struct SubclassState {
  host::WindowProcRef lpPrevDeskProc = 0;  // 0 while not attached
  Hwnd hBarWnd;                            // Excel's "EXCEL<" window, 0 when none
};
SubclassState& Subclass();

// Attaches the subclass (once) and has the workbook area recompute its frame.
void SubclassDesk();
// Detaches it (when attached) and has the workbook area recompute its frame without the strip.
void UnsubclassDesk();
std::intptr_t DeskWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam);
// Gives the tab strip the colours of the current Office 2007 scheme, and repaints the bar.
void ApplyOfficeColors();

// The frame-change request on the workbook area.
void RequestDeskFrameChange();

}  // namespace vestrano
