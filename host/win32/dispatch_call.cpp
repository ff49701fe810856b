// Late-bound calls with a per-kind DISPID cache.
#include "host/win32/dispatch_call.h"

#include <algorithm>

namespace vestrano::win32 {

std::optional<DISPID> DispatchNames::Find(IDispatch* object, std::wstring_view name) {
  auto cached = std::find_if(cache_.begin(), cache_.end(),
                             [&](const auto& entry) { return entry.first == name; });
  if (cached != cache_.end()) return cached->second;
  if (!object) return std::nullopt;
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  std::optional<DISPID> found;
  if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, kAutomationLocale, &id))) found = id;
  cache_.emplace_back(std::move(text), found);
  return found;
}

HRESULT InvokeWithArgs(IDispatch* object, DISPID id, WORD flags,
                       std::initializer_list<const VARIANT*> args, VARIANT* result) {
  if (!object) return E_POINTER;
  // DISPPARAMS wants the last argument first. The callee does not change [in] arguments, so
  // the copies are shallow and need no clearing.
  std::vector<VARIANT> reversed(args.size());
  std::size_t slot = args.size();
  for (const VARIANT* arg : args) reversed[--slot] = *arg;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT bad_arg = 0;
  const HRESULT hr =
      object->Invoke(id, IID_NULL, kAutomationLocale, flags, &params, result, &exception, &bad_arg);
  // The exception's texts are the caller's to free; nothing here reads them.
  UniqueBstr source;
  UniqueBstr description;
  UniqueBstr help_file;
  source.Reset(exception.bstrSource);
  description.Reset(exception.bstrDescription);
  help_file.Reset(exception.bstrHelpFile);
  return hr;
}

HRESULT PutWithValue(IDispatch* object, DISPID id, const VARIANT& value) {
  if (!object) return E_POINTER;
  // A shallow copy, as for the [in] arguments above.
  VARIANT arg = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&arg, &named, 1, 1};
  EXCEPINFO exception{};
  UINT bad_arg = 0;
  const HRESULT hr = object->Invoke(id, IID_NULL, kAutomationLocale, DISPATCH_PROPERTYPUT, &params,
                                    nullptr, &exception, &bad_arg);
  UniqueBstr source;
  UniqueBstr description;
  UniqueBstr help_file;
  source.Reset(exception.bstrSource);
  description.Reset(exception.bstrDescription);
  help_file.Reset(exception.bstrHelpFile);
  return hr;
}

bool DispatchObject::PutProperty(std::wstring_view name, const VARIANT& value) {
  if (!object_) return false;
  const auto id = names_->Find(object_.Get(), name);
  return id && SUCCEEDED(PutWithValue(object_.Get(), *id, value));
}

std::optional<UniqueVariant> DispatchObject::Invoke(std::wstring_view name, WORD flags,
                                                    std::initializer_list<const VARIANT*> args) {
  if (!object_) return std::nullopt;
  const auto id = names_->Find(object_.Get(), name);
  if (!id) return std::nullopt;
  UniqueVariant result;
  if (FAILED(InvokeWithArgs(object_.Get(), *id, flags, args, result.Put()))) return std::nullopt;
  return result;
}

std::optional<UniqueVariant> DispatchObject::GetProperty(
    std::wstring_view name, std::initializer_list<const VARIANT*> args) {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

std::optional<UniqueVariant> DispatchObject::CallMethod(
    std::wstring_view name, std::initializer_list<const VARIANT*> args) {
  return Invoke(name, DISPATCH_METHOD, args);
}

std::optional<std::vector<UniqueVariant>> DispatchObject::Enumerate() {
  if (!object_) return std::nullopt;
  UniqueVariant enumerator_holder;
  if (FAILED(InvokeWithArgs(object_.Get(), DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                            {}, enumerator_holder.Put()))) {
    return std::nullopt;
  }
  const VARIANT& holder = *enumerator_holder.Get();
  IUnknown* unknown = holder.vt == VT_UNKNOWN    ? holder.punkVal
                      : holder.vt == VT_DISPATCH ? holder.pdispVal
                                                 : nullptr;
  ComPtr<IEnumVARIANT> enumerator;
  if (!unknown || FAILED(unknown->QueryInterface(IID_IEnumVARIANT, enumerator.PutVoid()))) {
    return std::nullopt;
  }
  std::vector<UniqueVariant> items;
  for (;;) {
    UniqueVariant item;
    ULONG fetched = 0;
    const HRESULT hr = enumerator->Next(1, item.Put(), &fetched);
    if (FAILED(hr)) return std::nullopt;
    if (hr != S_OK || fetched == 0) break;
    items.push_back(std::move(item));
  }
  return items;
}

std::optional<bool> DispatchObject::GetBool(std::wstring_view name) {
  auto value = GetProperty(name);
  return value ? VariantToBool(*value->Get()) : std::nullopt;
}

std::optional<LONG> DispatchObject::GetInt(std::wstring_view name) {
  auto value = GetProperty(name);
  return value ? VariantToInt(*value->Get()) : std::nullopt;
}

std::optional<std::string> DispatchObject::GetText(std::wstring_view name) {
  auto value = GetProperty(name);
  return value ? VariantToUtf8(*value->Get()) : std::nullopt;
}

ComPtr<IDispatch> DispatchObject::GetDispatch(std::wstring_view name,
                                              std::initializer_list<const VARIANT*> args) {
  auto value = GetProperty(name, args);
  return value ? VariantToDispatch(*value->Get()) : nullptr;
}

}  // namespace vestrano::win32
