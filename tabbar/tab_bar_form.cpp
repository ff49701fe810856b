// The tab bar form's life: its window, its controls, the look it takes from the settings when it
// loads, and its resize.
#include "tabbar/tab_bar_form.h"

#include "base/twips.h"
#include "core/host_version.h"
#include "core/office_colors.h"
#include "core/shared_state.h"
#include "host/platform.h"

namespace vestrano {

Form_Vestrano::~Form_Vestrano() {
  Unload();
}

std::intptr_t Form_Vestrano::FormWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                            std::intptr_t lparam) {
  auto* form = dynamic_cast<Form_Vestrano*>(Shared().oTabForm.get());
  const bool own = form && form->window_ == hwnd;
  if (message == host::kWmSize && own) form->Form_Resize();
  // The strip covers the whole form: erasing under it first would make every repaint flicker.
  if (message == host::kWmEraseBkgnd && own && form->TabSeclect_) return 1;
  auto* windows = host::CurrentPlatform().windows;
  return windows ? windows->DefaultWindowProc(hwnd, message, wparam, lparam) : 0;
}

bool Form_Vestrano::Load() {
  if (loaded_) return true;
  auto* windows = host::CurrentPlatform().windows;
  if (unloaded_ || !windows) return false;
  window_ = windows->CreateOwnWindow(kFormClass, kFormCaption, host::kWsPopup, FormWindowProc);
  if (!window_) return false;
  loaded_ = true;
  windows->SetWindowPos(window_, Hwnd{}, 0, 0, kDesignedFormWidth, kDesignedFormHeight,
                        host::kSwpNoMove | host::kSwpNoZOrder);
  // Without its strip (the module neither registered nor on disk) the form still takes its
  // place in Excel's window: the bar stays empty, and nothing else changes.
  const bool controls = CreateControls();
  return Form_Load() && controls;
}

bool Form_Vestrano::CreateControls() {
  auto* factory = host::CurrentPlatform().controls;
  if (!factory) return false;
  auto controls = factory->CreateTabBarControls(window_);
  TabSeclect_ = std::move(controls.tabs);
  ImageList1_ = std::move(controls.images);
  if (!TabSeclect_) return false;
  // The designed look, which the settings may change in Form_Load.
  auto paint = TabSeclect_->PaintManager();
  if (!paint || !paint->SetAppearance(host::kAppearanceExcel) ||
      !paint->SetColor(host::kColorOffice2003) || !paint->SetPosition(host::kPositionTop) ||
      !TabSeclect_->SetLeft(kDesignedTabLeftTwips) ||
      !TabSeclect_->SetWidth(kDesignedTabWidthTwips)) {
    return false;
  }
  TabSeclect_->SetEventSink(this);
  return true;
}

bool Form_Vestrano::Show() {
  auto* windows = host::CurrentPlatform().windows;
  const bool loaded = Load();
  return loaded_ && windows && windows->ShowWindow(window_, true) && loaded;
}

bool Form_Vestrano::Hide() {
  auto* windows = host::CurrentPlatform().windows;
  const bool loaded = Load();
  return loaded_ && windows && windows->ShowWindow(window_, false) && loaded;
}

Hwnd Form_Vestrano::hWnd() {
  Load();
  return window_;
}

void Form_Vestrano::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  unloaded_ = true;
  if (TabSeclect_) TabSeclect_->SetEventSink(nullptr);
  auto* windows = host::CurrentPlatform().windows;
  if (!windows) return;
  if (hPrevOwner) windows->SetOwner(window_, hPrevOwner);
  windows->DestroyWindow(window_);
  TabSeclect_.reset();
  ImageList1_.reset();
}

bool Form_Vestrano::ApplyLook(host::IPaintManager& paint, double version) {
  const auto& shared = Shared();
  if (version < 11) {
    return paint.SetDisableLunaColors(true) && paint.SetColor(host::kColorDefault);
  }
  // Style 0 is the designed look, which the controls already have.
  const TabStyle* style =
      shared.nTabTheme == 1 || shared.nTabTheme == 2 ? &kTabStyles[shared.nTabTheme] : nullptr;
  if (style && !(TabSeclect_->SetAppearance(style->appearance) && paint.SetColor(style->color) &&
                 TabSeclect_->SetLeft(style->left_twips))) {
    return false;
  }
  // Version is read again, as the look for Excel 2007 is a step of its own.
  const auto again = ReadHostVersion();
  if (!again) return false;
  if (*again > 11 && IsOfficeScheme(shared.nOfficeTheme)) {
    auto colors = paint.ColorSet();
    if (!colors || !SetOfficeSchemeColors(*colors, shared.nOfficeTheme)) return false;
  }
  return true;
}

bool Form_Vestrano::Form_Load() {
  auto* windows = host::CurrentPlatform().windows;
  if (hOwnerWnd) {
    auto previous = windows->SetOwner(window_, hOwnerWnd);
    if (!previous) return false;
    hPrevOwner = *previous;
  }
  // A null owner leaves the form a top-level window.
  if (!windows->SetParent(window_, hOwnerWnd) || !windows->SetStyle(window_, kFormChildStyle)) {
    return false;
  }
  if (!TabSeclect_) return false;
  auto paint = TabSeclect_->PaintManager();
  const auto version = ReadHostVersion();
  if (!paint || !version || !ApplyLook(*paint, *version)) return false;
  const int position = Shared().nTabPosition != 0 ? host::kPositionBottom : host::kPositionTop;
  if (!paint->SetPosition(position)) return false;
  UpdateMenu({});
  return true;
}

bool Form_Vestrano::Form_Resize() {
  auto* windows = host::CurrentPlatform().windows;
  if (!TabSeclect_ || !windows) return false;
  const auto client = windows->GetClientRect(window_);
  const auto left = TabSeclect_->Left();
  // The control's own resolution, not 15 twips a pixel: above 100% scaling that would make the
  // control run past the form's right edge.
  const auto dpi = TabSeclect_->PixelsPerInch();
  return client && left && dpi && *dpi > 0 &&
         TabSeclect_->SetWidth(PixelsToTwips(client->Width(), *dpi) - *left);
}

}  // namespace vestrano
