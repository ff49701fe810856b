// One connection point of an Excel object: sinks advise with their IUnknown, Excel asks each for
// the events dispinterface by its own IID (refusing a sink that does not answer it), and raises
// the events through the sink's IDispatch::Invoke with the arguments reversed in DISPPARAMS.
#pragma once

#include "host/win32/windows_api.h"

#include <functional>
#include <map>
#include <vector>

#include "host/win32/com_object.h"
#include "xlsim/win32/automation.h"

namespace vestrano::xlsim::win32 {

class EventSource final : public vestrano::win32::ComObject<EventSource, IConnectionPoint> {
 public:
  // `container` is the object that offers this point; it tells the point when it goes.
  EventSource(REFIID events, IConnectionPointContainer* container);

  void Detach() { container_ = nullptr; }
  // Told of each advise and unadvise (a button listens to the clicks of its tag meanwhile).
  std::function<void(DWORD cookie)> on_advise;
  std::function<void(DWORD cookie)> on_unadvise;

  // Raises `event` to every sink advised now; a sink that unadvises meanwhile hears no more.
  void Fire(DISPID event, const std::vector<VARIANT>& args);
  // Raises it to one sink.
  void FireTo(DWORD cookie, DISPID event, const std::vector<VARIANT>& args);
  bool HasSinks() const { return !sinks_.empty(); }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override;
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override;

 private:
  IID events_;
  IConnectionPointContainer* container_;
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD next_cookie_ = 1;
};

// IConnectionPointContainer for an object with one connection point.
HRESULT FindOnePoint(EventSource* source, REFIID events, REFIID asked, IConnectionPoint** out);

}  // namespace vestrano::xlsim::win32
