// The AppEvents sink: an IDispatch whose Invoke turns Excel's event DISPIDs into calls on the
// logic's host::IAppEvents. Events the logic does not handle are acknowledged and dropped.
#include "host/win32/win32_app_events.h"

#include "host/diagnostics.h"

#include "host/win32/com_ptr.h"
#include "host/win32/dispatch_args.h"
#include "host/win32/event_sink.h"
#include "host/win32/module_refs.h"
#include "host/win32/variant.h"
#include "host/win32/win32_excel.h"

namespace vestrano::win32 {
namespace {

// AppEvents DISPIDs of the events the logic handles.
constexpr DISPID kSheetSelectionChange = 0x616;
constexpr DISPID kSheetActivate = 0x619;
constexpr DISPID kNewWorkbook = 0x61D;
constexpr DISPID kWindowDeactivate = 0x615;
constexpr DISPID kWorkbookOpen = 0x61F;
constexpr DISPID kWorkbookActivate = 0x620;
constexpr DISPID kWorkbookBeforeClose = 0x622;
constexpr DISPID kWorkbookBeforeSave = 0x623;

ComPtr<IDispatch> ObjectArg(const DISPPARAMS* params, UINT index) {
  const VARIANT* arg = PositionalArg(params, index);
  return arg ? VariantToDispatch(*arg) : nullptr;
}

class AppEventSink final : public EventSink<AppEventSink> {
 public:
  explicit AppEventSink(host::IAppEvents& events) : events_(&events) {}

  // After this the sink forwards nothing; Excel may still hold it for a while.
  void Detach() { events_ = nullptr; }

  // Excel and Office ask for the events dispinterface by its own IID.
  static constexpr const GUID& kEvents = kDiidAppEvents;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) noexcept override {
    if (result) VariantInit(result);
    try {
      // Holds the sink if the handler disconnects the events while it runs.
      ComPtr<AppEventSink> keep(this);
      if (events_) Dispatch(id, params);
    } catch (...) {
      // An event must never unwind into Excel; the logic's error policy is to go on.
      host::ReportCaughtException("an Excel event");
    }
    return S_OK;
  }

 private:
  void Dispatch(DISPID id, const DISPPARAMS* params) {
    switch (id) {
      case kSheetActivate:
        events_->SheetActivate(MakeWin32Sheet(ObjectArg(params, 0)));
        break;
      case kSheetSelectionChange:
        events_->SheetSelectionChange(MakeWin32Sheet(ObjectArg(params, 0)));
        break;
      case kNewWorkbook:
        events_->NewWorkbook(MakeWin32Workbook(ObjectArg(params, 0)));
        break;
      case kWindowDeactivate:
        events_->WindowDeactivate(MakeWin32Workbook(ObjectArg(params, 0)),
                                  MakeWin32Window(ObjectArg(params, 1)));
        break;
      case kWorkbookActivate:
        events_->WorkbookActivate(MakeWin32Workbook(ObjectArg(params, 0)));
        break;
      case kWorkbookOpen:
        events_->WorkbookOpen(MakeWin32Workbook(ObjectArg(params, 0)));
        break;
      case kWorkbookBeforeClose: {
        const VARIANT* cancel_arg = PositionalArg(params, 1);
        bool cancel = ReadByRefBool(cancel_arg).value_or(false);
        events_->WorkbookBeforeClose(MakeWin32Workbook(ObjectArg(params, 0)), cancel);
        WriteByRefBool(cancel_arg, cancel);
        break;
      }
      case kWorkbookBeforeSave: {
        const VARIANT* save_as_arg = PositionalArg(params, 1);
        const VARIANT* cancel_arg = PositionalArg(params, 2);
        const bool save_as_ui = save_as_arg && VariantToBool(*save_as_arg).value_or(false);
        bool cancel = ReadByRefBool(cancel_arg).value_or(false);
        events_->WorkbookBeforeSave(MakeWin32Workbook(ObjectArg(params, 0)), save_as_ui, cancel);
        WriteByRefBool(cancel_arg, cancel);
        break;
      }
      default:
        break;
    }
  }

  host::IAppEvents* events_;
  ObjectRef module_ref_;
};

}  // namespace

std::unique_ptr<host::IEventConnection> ConnectAppEvents(IDispatch* application,
                                                         host::IAppEvents& events) {
  return AdviseSink<AppEventSink>(application, events);
}

}  // namespace vestrano::win32
