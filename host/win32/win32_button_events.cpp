// The button Click sink: an IDispatch whose Invoke turns Office's Click(Ctrl, CancelDefault) into
// a call on the logic's sink, and writes CancelDefault back through its reference.
#include "host/win32/win32_button_events.h"

#include <new>

#include "host/diagnostics.h"
#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/dispatch_args.h"
#include "host/win32/module_refs.h"
#include "host/win32/variant.h"
#include "host/win32/win32_command_bars.h"

namespace vestrano::win32 {
namespace {

class ButtonClickSink final : public ComObject<ButtonClickSink, IDispatch> {
 public:
  explicit ButtonClickSink(host::IButtonClickSink& sink) : sink_(&sink) {}

  void Detach() { sink_ = nullptr; }
  // Office asks for the events dispinterface by its own IID.
  static bool AlsoAnswers(REFIID iid) { return iid == kDiidCommandBarButtonEvents; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }

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

class ButtonClickConnection final : public host::IEventConnection {
 public:
  ButtonClickConnection(ComPtr<IConnectionPoint> point, ComPtr<ButtonClickSink> sink, DWORD cookie)
      : point_(std::move(point)), sink_(std::move(sink)), cookie_(cookie) {}
  ~ButtonClickConnection() override {
    sink_->Detach();
    point_->Unadvise(cookie_);
  }

 private:
  ComPtr<IConnectionPoint> point_;
  ComPtr<ButtonClickSink> sink_;
  DWORD cookie_;
};

}  // namespace

std::unique_ptr<host::IEventConnection> ConnectButtonClick(IDispatch* button,
                                                           host::IButtonClickSink& sink) {
  if (!button) return nullptr;
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(button->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) {
    return nullptr;
  }
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(kDiidCommandBarButtonEvents, point.Put())) || !point) {
    return nullptr;
  }
  auto forwarder = ComPtr<ButtonClickSink>::Adopt(new (std::nothrow) ButtonClickSink(sink));
  if (!forwarder) return nullptr;
  DWORD cookie = 0;
  if (FAILED(point->Advise(forwarder.Get(), &cookie))) {
    forwarder->Detach();
    return nullptr;
  }
  return std::make_unique<ButtonClickConnection>(std::move(point), std::move(forwarder), cookie);
}

}  // namespace vestrano::win32
