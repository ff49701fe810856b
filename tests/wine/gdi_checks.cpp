// Counting GDI objects: Windows answers GetGuiResources, which Wine only stubs. Under Wine the
// test watches the handle table instead. Wine reuses freed slots last in, first out, so a few
// probe brushes made and deleted before the paints come back in the same slots afterwards,
// unless a paint kept a slot for itself; balanced use in between only reorders those slots.
#include "tests/wine/gdi_checks.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wine_test {
namespace {

constexpr int kPaints = 50;
constexpr int kProbeBrushes = 16;
// Office's blue scheme, and the strip's colour under it.
constexpr DWORD kBlueScheme = 1;
constexpr COLORREF kStripBlue = RGB(104, 140, 175);
constexpr COLORREF kPlanted = RGB(1, 2, 3);
// A pixel of the strip that the tab bar form, inset 2 pixels, does not cover.
constexpr POINT kStripPixel{0, 12};

// Sets the Office colour scheme that the add-in reads, and puts back what was there.
class OfficeScheme {
 public:
  explicit OfficeScheme(DWORD scheme) {
    for (int i = 0; i < kDepth; ++i) {
      HKEY existing = nullptr;
      missing_[i] = RegOpenKeyExW(HKEY_CURRENT_USER, kKeys[i], 0, KEY_READ, &existing) != 0;
      if (existing) RegCloseKey(existing);
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeys[0], 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key_, kValue, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      previous_.resize(size);
      had_previous_ =
          RegQueryValueExW(key_, kValue, nullptr, &type_, previous_.data(), &size) == ERROR_SUCCESS;
    }
    ok_ = RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&scheme),
                         sizeof(scheme)) == ERROR_SUCCESS;
  }
  ~OfficeScheme() {
    if (!key_) return;
    if (had_previous_) {
      RegSetValueExW(key_, kValue, 0, type_, previous_.data(),
                     static_cast<DWORD>(previous_.size()));
    } else {
      RegDeleteValueW(key_, kValue);
    }
    RegCloseKey(key_);
    for (int i = 0; i < kDepth; ++i) {
      if (missing_[i]) RegDeleteKeyW(HKEY_CURRENT_USER, kKeys[i]);
    }
  }
  OfficeScheme(const OfficeScheme&) = delete;
  OfficeScheme& operator=(const OfficeScheme&) = delete;
  bool Set() const { return ok_; }

 private:
  static constexpr int kDepth = 3;
  // Deepest first, the order in which keys this class made are deleted again.
  static constexpr const wchar_t* kKeys[kDepth] = {L"Software\\Microsoft\\Office\\12.0\\Common",
                                                   L"Software\\Microsoft\\Office\\12.0",
                                                   L"Software\\Microsoft\\Office"};
  static constexpr const wchar_t* kValue = L"Theme";
  bool missing_[kDepth] = {};
  HKEY key_ = nullptr;
  DWORD type_ = 0;
  std::vector<BYTE> previous_;
  bool had_previous_ = false;
  bool ok_ = false;
};

struct GdiProbe {
  DWORD objects = 0;            // GetGuiResources; 0 where it is a stub
  std::vector<unsigned> slots;  // handle table slots the probe brushes got, sorted
  friend bool operator==(const GdiProbe&, const GdiProbe&) = default;
};

GdiProbe TakeProbe() {
  GdiProbe probe;
  probe.objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  HBRUSH brushes[kProbeBrushes];
  for (int i = 0; i < kProbeBrushes; ++i) {
    brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    probe.slots.push_back(LOWORD(reinterpret_cast<std::uintptr_t>(brushes[i])));
  }
  for (HBRUSH brush : brushes) DeleteObject(brush);
  std::sort(probe.slots.begin(), probe.slots.end());
  return probe;
}

std::string Describe(const GdiProbe& probe) {
  std::string text = Format("%lu objects, slots", static_cast<unsigned long>(probe.objects));
  for (unsigned slot : probe.slots) text += Format(" %u", slot);
  return text;
}

COLORREF StripPixel(HWND desk, std::optional<COLORREF> plant = std::nullopt) {
  const HDC dc = GetWindowDC(desk);
  if (!dc) return CLR_INVALID;
  if (plant) SetPixel(dc, kStripPixel.x, kStripPixel.y, *plant);
  const COLORREF pixel = GetPixel(dc, kStripPixel.x, kStripPixel.y);
  ReleaseDC(desk, dc);
  return pixel;
}

// One non-client paint of the workbook area, with a planted pixel that it must paint over.
bool PaintStrip(HWND desk) {
  StripPixel(desk, kPlanted);
  SetWindowPos(desk, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return StripPixel(desk) == kStripBlue;
}

}  // namespace

void CheckStripPaintGivesBackGdi(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                                 FakeApplication* excel) {
  const OfficeScheme scheme(kBlueScheme);
  if (!checks.Check(scheme.Set(), "paint: Office's colour scheme is set to blue")) return;
  SAFEARRAY* custom = nullptr;
  addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  PumpMessages(200);
  const HWND desk = windows.Desk();
  // Whatever Windows makes once and keeps (cached device contexts) is made before counting.
  for (int i = 0; i < 5; ++i) PaintStrip(desk);
  PumpMessages(50);
  const GdiProbe before = TakeProbe();
  int painted = 0;
  for (int i = 0; i < kPaints; ++i) painted += PaintStrip(desk) ? 1 : 0;
  const GdiProbe after = TakeProbe();
  checks.Check(
      painted == kPaints,
      Format("paint: each of %d frame changes fills the strip in the scheme's blue", kPaints),
      Format("%d filled", painted));
  const bool counted = before.objects != 0;
  checks.Check(counted ? after.objects == before.objects : after.slots == before.slots,
               Format("paint: %d paints of the strip leave no GDI object behind (%s)", kPaints,
                      counted ? "GetGuiResources" : "handle slots"),
               "before: " + Describe(before) + "; after: " + Describe(after));
  addin->OnDisconnection(kDisconnectUserClosed, &custom);
  PumpMessages(100);
}

}  // namespace wine_test
