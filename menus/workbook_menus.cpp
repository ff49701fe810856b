// Building and deleting the menus. Every step goes on whatever the previous one did: a bar that
// cannot be deleted or a menu Excel does not have leaves that step out, nothing more.
#include "menus/workbook_menus.h"

#include <iterator>
#include <string>

#include "core/host_version.h"
#include "core/shared_state.h"
#include "host/guarded.h"
#include "menus/workbook_commands.h"

namespace vestrano {
namespace {

// The captions share the access key Y (items 3 and 7) as they always have.
constexpr MenuItem kTabBarItems[] = {
    {"关闭工作簿(&C)", "Close", false},          {"保存工作簿(&S)", "Save", false},
    {"保存所有工作簿(&Y)", "SaveAll", false},    {"另存为(&A)", "SaveAs", false},
    {"关闭其它工作簿(&O)", "CloseOther", false}, {"关闭所有工作簿(&L)", "CloseAll", false},
    {"打开所在文件夹(&Y)", "OpenDir", false},    {"Vestrano选项(&O)", "Option", true},
};

constexpr MenuItem kEmptyStripItems[] = {
    {"新建空白工作簿(&N)", "New", false},
    {"保存所有工作簿(&Y)", "SaveAll", false},
    {"关闭所有工作簿(&L)", "CloseAll", false},
    {"Vestrano选项(&O)", "Option", true},
};

// Excel 2007 shows the bar's toggle in its ribbon instead of the Tools menu.
constexpr double kFirstRibbonVersion = 12;

}  // namespace

// A connected button. Office calls it from its message loop, so nothing may leave it.
class WorkbookMenus::ButtonSink final : public host::IButtonClickSink {
 public:
  using Handler = void (*)(const host::CommandBarControlPtr&);
  ButtonSink(const char* where, Handler handler) : where_(where), handler_(handler) {}

  bool Connect(const host::CommandBarControlPtr& control) {
    connection_.reset();
    if (control) connection_ = control->ConnectClick(*this);
    return connection_ != nullptr;
  }
  void Click(const host::CommandBarControlPtr& control, bool&) override {
    Guarded(where_, [&] { handler_(control); });
  }

 private:
  const char* where_;
  Handler handler_;
  std::unique_ptr<host::IEventConnection> connection_;
};

WorkbookMenus::WorkbookMenus() = default;
WorkbookMenus::~WorkbookMenus() = default;

void WorkbookMenus::CreateToolsButton(host::ICommandBars& bars) {
  auto tools = bars.FindControl(host::kControlToolsMenu);
  auto controls = tools ? tools->Controls() : nullptr;
  if (!controls) return;
  oCtlShowTab = controls->Item(kShowTabCaption);
  // One left by an earlier Excel session keeps its caption and check state.
  if (!oCtlShowTab) {
    oCtlShowTab = controls->Add();
    if (oCtlShowTab) {
      oCtlShowTab->SetCaption(kShowTabCaption);
      oCtlShowTab->SetState(Shared().bTabShow == 0 ? host::kButtonDown : host::kButtonUp);
    }
  }
  // Office raises a Click on every button with the clicked one's Tag; whether buttons without one
  // count as sharing it is not known, so this one has its own, also when an earlier session left
  // it untagged.
  if (oCtlShowTab) oCtlShowTab->SetTag(kShowTabTag);
  oBtnOptionTab = std::make_unique<ButtonSink>("oBtnOptionTab_Click", oBtnOptionTab_Click);
  oBtnOptionTab->Connect(oCtlShowTab);
}

void WorkbookMenus::BuildPopup(host::ICommandBars& bars, std::string_view name,
                               const MenuItem* items, std::size_t count, host::CommandBarPtr& bar,
                               host::CommandBarControlPtr& last) {
  // A bar left by an earlier connection in this Excel would make the Add fail.
  if (auto old = bars.Item(name)) old->Delete();
  bar = bars.Add(name, host::kBarPopup, true);
  auto controls = bar ? bar->Controls() : nullptr;
  for (std::size_t i = 0; controls && i < count; ++i) {
    auto button = controls->Add();
    if (!button) continue;
    button->SetCaption(items[i].caption);
    button->SetTag(kMenuTag);
    button->SetParameter(items[i].parameter);
    if (items[i].begin_group) button->SetBeginGroup(true);
    last = std::move(button);
  }
  if (bar) {
    bar->SetEnabled(true);
    bar->SetVisible(true);
  }
}

void WorkbookMenus::CreateWorkbookMenus() {
  // A second connection drops the first one's buttons before it replaces their bars.
  oBtnExcel.reset();
  oBtnOptionTab.reset();
  auto& app = Shared().oExcelApp;
  auto bars = app ? app->CommandBars() : nullptr;
  if (!bars) return;
  const auto version = ReadHostVersion();
  if (version && *version < kFirstRibbonVersion) CreateToolsButton(*bars);
  host::CommandBarControlPtr last;
  BuildPopup(*bars, kTabBarPopup, kTabBarItems, std::size(kTabBarItems), oMenuTabBar, last);
  BuildPopup(*bars, kEmptyStripPopup, kEmptyStripItems, std::size(kEmptyStripItems), oMenuTabBarII,
             last);
  // The items share one Tag, so the last one built hears a click on any of them.
  oBtnExcel = std::make_unique<ButtonSink>("oBtnExcel_Click", oBtnExcel_Click);
  oBtnExcel->Connect(last);
}

void WorkbookMenus::DeleteWorkbookMenus() {
  oBtnExcel.reset();
  oBtnOptionTab.reset();
  if (oMenuTabBar) oMenuTabBar->Delete();
  if (oMenuTabBarII) oMenuTabBarII->Delete();
  if (oCtlShowTab) oCtlShowTab->Delete();
  oMenuTabBar.reset();
  oMenuTabBarII.reset();
  oCtlShowTab.reset();
}

}  // namespace vestrano
