// Connection points and raising events through them.
#include "xlsim/win32/event_source.h"

namespace vestrano::xlsim::win32 {

EventSource::EventSource(REFIID events, IConnectionPointContainer* container)
    : events_(events), container_(container) {}

void EventSource::Fire(DISPID event, const std::vector<VARIANT>& args) {
  std::vector<DWORD> cookies;
  for (const auto& [cookie, sink] : sinks_) cookies.push_back(cookie);
  for (DWORD cookie : cookies) FireTo(cookie, event, args);
}

void EventSource::FireTo(DWORD cookie, DISPID event, const std::vector<VARIANT>& args) {
  const auto found = sinks_.find(cookie);
  if (found == sinks_.end()) return;
  // Held: the sink may unadvise while it handles the event.
  const ComPtr<IDispatch> sink = found->second;
  CallByDispid(sink.Get(), event, args);
}

HRESULT EventSource::GetConnectionInterface(IID* iid) noexcept {
  if (!iid) return E_POINTER;
  *iid = events_;
  return S_OK;
}

HRESULT EventSource::GetConnectionPointContainer(IConnectionPointContainer** out) noexcept {
  if (!out) return E_POINTER;
  *out = container_;
  if (!container_) return E_UNEXPECTED;
  container_->AddRef();
  return S_OK;
}

HRESULT EventSource::Advise(IUnknown* sink, DWORD* cookie) noexcept {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(events_, events.PutVoid())) || !events) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = next_cookie_++;
  sinks_.emplace(*cookie, std::move(events));
  if (on_advise) on_advise(*cookie);
  return S_OK;
}

HRESULT EventSource::Unadvise(DWORD cookie) noexcept {
  if (!sinks_.erase(cookie)) return CONNECT_E_NOCONNECTION;
  if (on_unadvise) on_unadvise(cookie);
  return S_OK;
}

HRESULT EventSource::EnumConnections(IEnumConnections** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT FindOnePoint(EventSource* source, REFIID events, REFIID asked, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!source || asked != events) return CONNECT_E_NOCONNECTION;
  *out = source;
  source->AddRef();
  return S_OK;
}

}  // namespace vestrano::xlsim::win32
