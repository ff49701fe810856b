// The button Click sink: an IDispatch whose Invoke turns Office's Click(Ctrl, CancelDefault) into
// a call on the logic's sink, and writes CancelDefault back through its reference.
#include "host/win32/win32_button_events.h"

#include "host/diagnostics.h"
#include "host/win32/com_ptr.h"
#include "host/win32/dispatch_args.h"
#include "host/win32/event_sink.h"
#include "host/win32/module_refs.h"
#include "host/win32/variant.h"
#include "host/win32/win32_command_bars.h"

namespace vestrano::win32 {
namespace {

class ButtonClickSink final : public EventSink<ButtonClickSink> {
 public:
  explicit ButtonClickSink(host::IButtonClickSink& sink) : sink_(&sink) {}

  void Detach() { sink_ = nullptr; }
  // Excel and Office ask for the events dispinterface by its own IID.
  static constexpr const GUID& kEvents = kDiidCommandBarButtonEvents;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) noexcept override {
    if (result) VariantInit(result);
    if (id != kDispidButtonClick) return S_OK;
    try {
      // Holds the sink if the handler disconnects the button while it runs.
      ComPtr<ButtonClickSink> keep(this);
      if (!sink_) return S_OK;
      const VARIANT* control_arg = PositionalArg(params, 0);
      const VARIANT* cancel_arg = PositionalArg(params, 1);
      bool cancel = ReadByRefBool(cancel_arg).value_or(false);
      sink_->Click(MakeWin32Control(control_arg ? VariantToDispatch(*control_arg) : nullptr),
                   cancel);
      WriteByRefBool(cancel_arg, cancel);
    } catch (...) {
      // A click must never unwind into Office.
      host::ReportCaughtException("a command-bar button's Click");
    }
    return S_OK;
  }

 private:
  host::IButtonClickSink* sink_;
  ObjectRef module_ref_;
};

}  // namespace

std::unique_ptr<host::IEventConnection> ConnectButtonClick(IDispatch* button,
                                                           host::IButtonClickSink& sink) {
  return AdviseSink<ButtonClickSink>(button, sink);
}

}  // namespace vestrano::win32
