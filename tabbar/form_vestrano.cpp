// The tab bar form's load, resize and tab-row rebuild.
#include "tabbar/form_vestrano.h"

#include <vector>

#include "tabbar/module_pub.h"

namespace vestrano {
namespace {

// Tab styles chosen in the options: appearance, colour style and left offset in twips.
struct TabStyle {
  int appearance;
  int color;
  double left_twips;
};
constexpr TabStyle kStyleAccess2007{host::kAppearanceAccess2007, host::kColorOffice2003, -70};
constexpr TabStyle kStyleOffice2003{host::kAppearanceOffice2003, host::kColorOffice2003, -90};

// Office 2007 scheme colours of the tab faces.
struct SchemeColors {
  Rgb header_face_dark;
  Rgb header_face_light;
  Rgb button_normal;
};
constexpr Rgb kHeaderFaceDark{215, 230, 247};
constexpr SchemeColors kBlue{kHeaderFaceDark, {164, 195, 235}, {221, 237, 249}};
constexpr SchemeColors kSilver{kHeaderFaceDark, {170, 174, 181}, {240, 247, 247}};
constexpr SchemeColors kBlack{kHeaderFaceDark, {160, 160, 160}, {231, 240, 240}};

// What one tab shows, read in a single pass over the workbooks.
struct TabRow {
  std::optional<std::string> name;
  std::optional<std::string> full_name;
  std::optional<bool> saved;
};

// Testing each workbook's own windows gives the tabs that a look-up by name would, without
// asking Excel to search its collection once per workbook.
std::vector<TabRow> ReadVisibleWorkbooks() {
  std::vector<TabRow> rows;
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto all = workbooks ? workbooks->Enumerate() : std::nullopt;
  if (!all) return rows;
  for (const auto& workbook : *all) {
    if (!workbook || !WorkbookHasVisibleWindow(*workbook)) continue;
    rows.push_back({workbook->Name(), workbook->FullName(), workbook->Saved()});
  }
  return rows;
}

void FillTab(host::ITabItem& item, const TabRow& row) {
  if (row.name && row.saved) {
    item.SetCaption(*row.saved ? *row.name : *row.name + std::string(kModifiedMark));
  }
  if (row.full_name) item.SetToolTip(*row.full_name);
  // Without the full name only a name lacking an extension needs asking Excel again.
  if (row.name) {
    item.SetImage(row.full_name ? TabImageIndexFor(*row.name, *row.full_name)
                                : GetTabImageIndex(*row.name));
  }
}

}  // namespace

bool IsOfficeScheme(std::int32_t office_theme) {
  return office_theme >= 1 && office_theme <= 3;
}

bool SetOfficeSchemeColors(host::IColorSet& colors, std::int32_t office_theme) {
  const SchemeColors* scheme = office_theme == 1   ? &kBlue
                               : office_theme == 2 ? &kSilver
                               : office_theme == 3 ? &kBlack
                                                   : nullptr;
  if (!scheme) return true;
  return colors.SetHeaderFaceDark(scheme->header_face_dark) &&
         colors.SetHeaderFaceLight(scheme->header_face_light) &&
         colors.SetButtonNormal(scheme->button_normal);
}

Form_Vestrano::~Form_Vestrano() {
  Unload();
}

std::intptr_t Form_Vestrano::FormWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                            std::intptr_t lparam) {
  const auto& form = Shared().oTabForm;
  if (message == host::kWmSize && form && form->window_ == hwnd) form->Form_Resize();
  auto* windows = host::CurrentPlatform().windows;
  return windows ? windows->DefWindowProc(hwnd, message, wparam, lparam) : 0;
}

bool Form_Vestrano::Load() {
  if (loaded_) return true;
  auto* windows = host::CurrentPlatform().windows;
  if (unloaded_ || !windows) return false;
  window_ = windows->CreateWindow(kFormClass, kFormCaption, host::kWsPopup, FormWindowProc);
  if (!window_) return false;
  loaded_ = true;
  windows->SetWindowPos(window_, Hwnd{}, 0, 0, kDesignedFormWidth, kDesignedFormHeight,
                        host::kSwpNoMove | host::kSwpNoZOrder);
  return CreateControls() && Form_Load();
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
  const TabStyle* style = shared.nTabTheme == 1   ? &kStyleAccess2007
                          : shared.nTabTheme == 2 ? &kStyleOffice2003
                                                  : nullptr;
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
  return client && left && TabSeclect_->SetWidth(client->Width() * kTwipsPerPixel - *left);
}

void Form_Vestrano::UpdateMenu(std::string_view St) {
  // Like any use of the form's controls, a rebuild loads the form when it is not loaded yet.
  Load();
  if (!TabSeclect_) return;
  auto& tabs = *TabSeclect_;
  tabs.RemoveAll();
  if (auto paint = tabs.PaintManager()) paint->SetShowIcons(true);
  tabs.SetImageList(ImageList1_);

  const auto rows = ReadVisibleWorkbooks();
  tabs.SetItemCount(static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (auto item = tabs.Item(static_cast<int>(i))) FillTab(*item, rows[i]);
  }

  // Every tab is compared, so with two equal names the last one stays selected. The active
  // workbook is asked anew for each tab: a selection may switch workbooks while this runs.
  const int count = tabs.ItemCount().value_or(0);
  for (int k = 0; k < count; ++k) {
    auto item = tabs.Item(k);
    auto caption = item ? item->Caption() : std::nullopt;
    if (!caption) continue;
    std::optional<std::string> wanted;
    if (!St.empty()) {
      wanted = std::string(St);
    } else if (auto& app = Shared().oExcelApp) {
      auto active = app->ActiveWorkbook();
      wanted = active ? active->Name() : std::nullopt;
    }
    if (wanted && *wanted == StripModifiedMark(*caption)) item->SetSelected(true);
  }
}

void Form_Vestrano::BeforeItemClick(const host::TabItemPtr&, bool&) {
  // Switching while a cell is being edited arrives with the Window-menu route.
}

void Form_Vestrano::SelectedChanged(const host::TabItemPtr& item) {
  auto& shared = Shared();
  if (shared.bUpdatingTabs || shared.bMenuActivating || !item || !shared.oExcelApp) return;
  auto caption = item->Caption();
  if (!caption) return;
  const std::string name = StripModifiedMark(*caption);
  auto workbooks = shared.oExcelApp->Workbooks();
  if (!workbooks || !workbooks->Item(name)) return;
  // Excel normally makes the workbook active at the first attempt; a workbook that never becomes
  // active must not hold Excel's thread, so the attempts are bounded.
  constexpr int kMaxActivations = 5;
  for (int attempt = 0; attempt < kMaxActivations; ++attempt) {
    auto workbook = workbooks->Item(name);
    auto windows = workbook ? workbook->Windows() : nullptr;
    if (auto first = windows ? windows->Item(1) : nullptr) first->Activate();
    auto active = shared.oExcelApp->ActiveWorkbook();
    auto active_name = active ? active->Name() : std::nullopt;
    auto now = item->Caption();
    if (active_name && now && *active_name == StripModifiedMark(*now)) return;
  }
}

void Form_Vestrano::MouseUp(int, int, float, float) {
  // Clicks, double-clicks and the popups arrive with the mouse handling.
}

}  // namespace vestrano
