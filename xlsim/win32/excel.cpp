// xlsim's Excel: the model, its windows, its command bars and the objects that add-ins see.
#include "xlsim/win32/excel.h"

#include "xlsim/excel_bars.h"
#include "xlsim/win32/excel_objects.h"
#include "xlsim/win32/office_objects.h"
#include "xlsim/win32/popup_menu.h"

namespace vestrano::xlsim::win32 {
namespace {

// AppEvents DISPIDs.
constexpr DISPID kWindowActivate = 0x614;
constexpr DISPID kWindowDeactivate = 0x615;
constexpr DISPID kSheetSelectionChange = 0x616;
constexpr DISPID kSheetActivate = 0x619;
constexpr DISPID kSheetDeactivate = 0x61A;
constexpr DISPID kNewWorkbook = 0x61D;
constexpr DISPID kWorkbookOpen = 0x61F;
constexpr DISPID kWorkbookActivate = 0x620;
constexpr DISPID kWorkbookDeactivate = 0x621;
constexpr DISPID kWorkbookBeforeClose = 0x622;
constexpr DISPID kWorkbookBeforeSave = 0x623;

// One object per model entity, made on first use; an entry whose entity has gone (and whose
// address the allocator may reuse) is replaced.
template <typename Entity, typename Make>
ComPtr<IDispatch> Cached(
    std::map<const void*, std::pair<std::weak_ptr<void>, ComPtr<IDispatch>>>& cache,
    const std::shared_ptr<Entity>& entity, Make make) {
  if (!entity) return nullptr;
  auto& slot = cache[entity.get()];
  if (slot.second && !slot.first.expired() && slot.first.lock() == entity) return slot.second;
  slot = {std::weak_ptr<void>(entity), make()};
  return slot.second;
}

}  // namespace

Excel& Linked(const Link& link) {
  if (!link || !link->excel) throw Disconnected();
  return *link->excel;
}

Excel::Excel() {
  link_->excel = this;
  windows_ = std::make_unique<ExcelWindows>();
  model_ = std::make_unique<ExcelModel>(*windows_, *this);
  windows_->Attach(*model_);
  AddExcelBars(bars_, *model_);
  application_ = NewApplication(link_, &events_);
  command_bars_ = NewCommandBarsObject(link_);
}

Excel::~Excel() {
  ClosePopup();
  link_->excel = nullptr;
  events_ = nullptr;
  objects_.clear();
  sheets_.clear();
  command_bars_.Reset();
  application_.Reset();
  model_.reset();
  windows_.reset();
}

ComPtr<IDispatch> Excel::WorkbookObject(const WorkbookRef& workbook) {
  return Cached(objects_, workbook, [&] { return NewWorkbookObject(link_, workbook); });
}

ComPtr<IDispatch> Excel::WindowObject(const WindowRef& window) {
  return Cached(objects_, window, [&] { return NewWindowObject(link_, window); });
}

ComPtr<IDispatch> Excel::SheetObject(const WorkbookRef& workbook) {
  return Cached(sheets_, workbook, [&] { return NewSheetObject(link_, workbook); });
}

ComPtr<IDispatch> Excel::ControlObject(const ControlRef& control) {
  return Cached(objects_, control, [&] { return NewControlObject(link_, control); });
}

ComPtr<IDispatch> Excel::BarObject(const BarRef& bar) {
  return Cached(objects_, bar, [&] { return NewBarObject(link_, bar); });
}

ComPtr<IDispatch> Excel::CommandBarsObject() {
  return command_bars_;
}

void Excel::ShowPopup(const BarRef& bar, POINT at) {
  ClosePopup();
  popup_ = std::make_unique<PopupMenu>(*this, bar, at);
  popup_bar_ = bar;
}

std::optional<std::string> Excel::OpenPopupName() const {
  const auto bar = popup_bar_.lock();
  if (!popup_ || !bar || !bar->body->alive) return std::nullopt;
  return bar->name;
}

void Excel::ClosePopup() {
  popup_.reset();
  popup_bar_.reset();
}

void Excel::PopupChosen(const ControlRef& control) {
  ClosePopup();
  bars_.Click(control);
}

void Excel::Raise(DISPID event, std::vector<VARIANT> args) {
  if (enable_events && events_) events_->FireEvent(event, args);
}

void Excel::RaiseWithCancel(DISPID event, std::vector<VARIANT> args, bool& cancel) {
  VARIANT_BOOL flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
  args.push_back(ByRefBoolArgument(&flag));
  Raise(event, std::move(args));
  cancel = flag != VARIANT_FALSE;
}

void Excel::NewWorkbook(const WorkbookRef& workbook) {
  const auto wb = WorkbookObject(workbook);
  Raise(kNewWorkbook, {ObjectArgument(wb.Get())});
}

void Excel::WorkbookOpen(const WorkbookRef& workbook) {
  const auto wb = WorkbookObject(workbook);
  Raise(kWorkbookOpen, {ObjectArgument(wb.Get())});
}

void Excel::WorkbookActivate(const WorkbookRef& workbook) {
  const auto wb = WorkbookObject(workbook);
  Raise(kWorkbookActivate, {ObjectArgument(wb.Get())});
}

void Excel::WorkbookDeactivate(const WorkbookRef& workbook) {
  const auto wb = WorkbookObject(workbook);
  Raise(kWorkbookDeactivate, {ObjectArgument(wb.Get())});
}

void Excel::WindowActivate(const WorkbookRef& workbook, const WindowRef& window) {
  const auto wb = WorkbookObject(workbook);
  const auto wn = WindowObject(window);
  Raise(kWindowActivate, {ObjectArgument(wb.Get()), ObjectArgument(wn.Get())});
}

void Excel::WindowDeactivate(const WorkbookRef& workbook, const WindowRef& window) {
  const auto wb = WorkbookObject(workbook);
  const auto wn = WindowObject(window);
  Raise(kWindowDeactivate, {ObjectArgument(wb.Get()), ObjectArgument(wn.Get())});
}

void Excel::WorkbookBeforeClose(const WorkbookRef& workbook, bool& cancel) {
  const auto wb = WorkbookObject(workbook);
  RaiseWithCancel(kWorkbookBeforeClose, {ObjectArgument(wb.Get())}, cancel);
}

void Excel::WorkbookBeforeSave(const WorkbookRef& workbook, bool save_as_ui, bool& cancel) {
  const auto wb = WorkbookObject(workbook);
  RaiseWithCancel(kWorkbookBeforeSave, {ObjectArgument(wb.Get()), BoolArgument(save_as_ui)},
                  cancel);
}

void Excel::SheetActivate(const WorkbookRef& workbook) {
  const auto sheet = SheetObject(workbook);
  Raise(kSheetActivate, {ObjectArgument(sheet.Get())});
}

void Excel::SheetDeactivate(const WorkbookRef& workbook) {
  const auto sheet = SheetObject(workbook);
  Raise(kSheetDeactivate, {ObjectArgument(sheet.Get())});
}

void Excel::SheetSelectionChange(const WorkbookRef& workbook) {
  const auto sheet = SheetObject(workbook);
  const auto target = NewRangeObject(link_, workbook);
  Raise(kSheetSelectionChange, {ObjectArgument(sheet.Get()), ObjectArgument(target.Get())});
}

}  // namespace vestrano::xlsim::win32
