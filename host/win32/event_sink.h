// What our event sinks share. Office and Excel call a sink's IDispatch by DISPID only, so a sink
// has no type information and knows no names; and it stays connected to its source's connection
// point for exactly as long as the connection that AdviseSink returns lives. `Derived` has a
// static `kEvents` (the events dispinterface, which the source also asks for by its own IID) and
// a `Detach()` after which it forwards nothing, for the calls the source still makes once
// unadvised.
#pragma once

#include <memory>
#include <new>

#include "host/event_connection.h"
#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"

namespace vestrano::win32 {

template <typename Derived>
class EventSink : public ComObject<Derived, IDispatch> {
 public:
  static bool AlsoAnswers(REFIID iid) { return iid == Derived::kEvents; }

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
};

// Owns one Advise: unadvises and detaches the sink when it goes.
template <typename Sink>
class SinkConnection final : public host::IEventConnection {
 public:
  SinkConnection(ComPtr<IConnectionPoint> point, ComPtr<Sink> sink, DWORD cookie)
      : point_(std::move(point)), sink_(std::move(sink)), cookie_(cookie) {}
  ~SinkConnection() override {
    sink_->Detach();
    point_->Unadvise(cookie_);
  }
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;

 private:
  ComPtr<IConnectionPoint> point_;
  ComPtr<Sink> sink_;
  DWORD cookie_;
};

// Makes a Sink from `args` and advises it on `source`'s connection point for Sink::kEvents; null
// when the source has no such point or refuses.
template <typename Sink, typename... Args>
std::unique_ptr<host::IEventConnection> AdviseSink(IDispatch* source, Args&... args) {
  if (!source) return nullptr;
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) {
    return nullptr;
  }
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(Sink::kEvents, point.Put())) || !point) {
    return nullptr;
  }
  auto sink = ComPtr<Sink>::Adopt(new (std::nothrow) Sink(args...));
  if (!sink) return nullptr;
  DWORD cookie = 0;
  if (FAILED(point->Advise(sink.Get(), &cookie))) {
    sink->Detach();
    return nullptr;
  }
  return std::make_unique<SinkConnection<Sink>>(std::move(point), std::move(sink), cookie);
}

}  // namespace vestrano::win32
