// Arguments, results and errors of xlsim's Automation objects, and calls into other objects.
#include "xlsim/win32/automation.h"

#include <algorithm>
#include <new>

#include "host/win32/com_object.h"

namespace vestrano::xlsim::win32 {
namespace {

// Excel's run-time error numbers, as it reports them in EXCEPINFO.
constexpr HRESULT kErrorSubscriptOutOfRange = static_cast<HRESULT>(0x8002000B);
constexpr HRESULT kErrorTypeMismatch = static_cast<HRESULT>(0x80020005);
constexpr HRESULT kErrorMethodFailed = static_cast<HRESULT>(0x800A03EC);
constexpr HRESULT kErrorDisconnected = static_cast<HRESULT>(0x80010108);

bool IsMissing(const VARIANT& value) {
  return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

// The argument converted to `type`; TypeMismatch when it cannot be.
VARIANT Converted(const VARIANT* arg, VARTYPE type) {
  VARIANT out;
  VariantInit(&out);
  if (!arg || FAILED(VariantChangeType(&out, const_cast<VARIANT*>(arg), 0, type))) {
    throw TypeMismatch();
  }
  return out;
}

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

class ObjectEnumerator final : public vestrano::win32::ComObject<ObjectEnumerator, IEnumVARIANT> {
 public:
  explicit ObjectEnumerator(std::vector<ComPtr<IDispatch>> items, std::size_t next = 0)
      : items_(std::move(items)), next_(next) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) noexcept override {
    if (!out && count > 0) return E_POINTER;
    ULONG done = 0;
    for (; done < count && next_ < items_.size(); ++done, ++next_) {
      VariantInit(&out[done]);
      out[done].vt = VT_DISPATCH;
      items_[next_].CopyTo(&out[done].pdispVal);
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override {
    const std::size_t left = items_.size() - next_;
    next_ += std::min<std::size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() noexcept override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) noexcept override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) ObjectEnumerator(items_, next_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::vector<ComPtr<IDispatch>> items_;
  std::size_t next_;
};

}  // namespace

AutomationError SubscriptOutOfRange() {
  return {kErrorSubscriptOutOfRange, L"Subscript out of range"};
}
AutomationError TypeMismatch() {
  return {kErrorTypeMismatch, L"Type mismatch"};
}
AutomationError Disconnected() {
  return {kErrorDisconnected, L""};
}
AutomationError Refused(std::wstring description) {
  return {kErrorMethodFailed, std::move(description)};
}

const VARIANT* Call::Arg(UINT index) const {
  if (!params_ || !params_->rgvarg) return nullptr;
  const VARIANT* arg = nullptr;
  for (UINT i = 0; i < params_->cNamedArgs; ++i) {
    if (params_->rgdispidNamedArgs && params_->rgdispidNamedArgs[i] == static_cast<DISPID>(index)) {
      arg = &params_->rgvarg[i];
    }
  }
  const UINT positional = params_->cArgs - params_->cNamedArgs;
  if (!arg && index < positional) arg = &params_->rgvarg[params_->cArgs - 1 - index];
  if (arg && arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal) arg = arg->pvarVal;
  if (!arg || IsMissing(*arg)) return nullptr;
  return arg;
}

const VARIANT* Call::Value() const {
  if (!params_ || !params_->rgvarg) return nullptr;
  for (UINT i = 0; i < params_->cNamedArgs; ++i) {
    if (params_->rgdispidNamedArgs && params_->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) {
      const VARIANT* value = &params_->rgvarg[i];
      if (value->vt == (VT_VARIANT | VT_BYREF) && value->pvarVal) value = value->pvarVal;
      return value;
    }
  }
  return nullptr;
}

LONG Call::Int(UINT index, std::optional<LONG> fallback) const {
  const VARIANT* arg = Arg(index);
  if (!arg && fallback) return *fallback;
  return Converted(arg, VT_I4).lVal;
}

bool Call::Bool(UINT index, std::optional<bool> fallback) const {
  const VARIANT* arg = Arg(index);
  if (!arg && fallback) return *fallback;
  return Converted(arg, VT_BOOL).boolVal != VARIANT_FALSE;
}

std::wstring Call::Text(UINT index, std::optional<std::wstring> fallback) const {
  const VARIANT* arg = Arg(index);
  if (!arg && fallback) return *fallback;
  VARIANT text = Converted(arg, VT_BSTR);
  std::wstring out(text.bstrVal ? text.bstrVal : L"", SysStringLen(text.bstrVal));
  VariantClear(&text);
  return out;
}

LONG Call::IntValue() const {
  return Converted(Value(), VT_I4).lVal;
}

bool Call::BoolValue() const {
  return Converted(Value(), VT_BOOL).boolVal != VARIANT_FALSE;
}

std::wstring Call::TextValue() const {
  VARIANT text = Converted(Value(), VT_BSTR);
  std::wstring out(text.bstrVal ? text.bstrVal : L"", SysStringLen(text.bstrVal));
  VariantClear(&text);
  return out;
}

void Call::Return(LONG value) {
  if (!result_) return;
  result_->vt = VT_I4;
  result_->lVal = value;
}

void Call::Return(bool value) {
  if (!result_) return;
  result_->vt = VT_BOOL;
  result_->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void Call::Return(std::wstring_view value) {
  if (!result_) return;
  result_->vt = VT_BSTR;
  result_->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
}

void Call::Return(IDispatch* object) {
  if (!result_) return;
  result_->vt = VT_DISPATCH;
  result_->pdispVal = object;
  if (object) object->AddRef();
}

void Call::ReturnUnknown(IUnknown* object) {
  if (!result_) return;
  result_->vt = VT_UNKNOWN;
  result_->punkVal = object;
  if (object) object->AddRef();
}

void Call::ReturnVariant(const VARIANT& value) {
  if (result_) VariantCopy(result_, const_cast<VARIANT*>(&value));
}

HRESULT FindMembers(std::span<const MemberView> members, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const MemberView* found = nullptr;
  for (const MemberView& member : members) {
    if (names[0] && EqualsIgnoringCase(names[0], member.name)) {
      found = &member;
      break;
    }
  }
  if (!found) return DISP_E_UNKNOWNNAME;
  ids[0] = found->id;
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    DISPID index = 0;
    const std::wstring_view parameters = found->parameters ? found->parameters : L"";
    for (std::size_t start = 0; start < parameters.size(); ++index) {
      const std::size_t end = std::min(parameters.find(L' ', start), parameters.size());
      const std::wstring parameter(parameters.substr(start, end - start));
      if (names[i] && EqualsIgnoringCase(names[i], parameter.c_str())) ids[i] = index;
      start = end + 1;
    }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

ComPtr<IUnknown> NewEnumerator(std::vector<ComPtr<IDispatch>> items) {
  return ComPtr<IUnknown>::Adopt(new (std::nothrow) ObjectEnumerator(std::move(items)));
}

HRESULT CallByDispid(IDispatch* object, DISPID id, std::vector<VARIANT> args, VARIANT* result) {
  if (!object) return E_POINTER;
  // DISPPARAMS holds the last argument first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                    static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT bad_arg = 0;
  const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    result, &exception, &bad_arg);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr == DISP_E_EXCEPTION && FAILED(exception.scode) ? exception.scode : hr;
}

HRESULT CallByName(IDispatch* object, std::wstring_view name, std::vector<VARIANT> args,
                   VARIANT* result) {
  if (!object) return E_POINTER;
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  return CallByDispid(object, id, std::move(args), result);
}

VARIANT ObjectArgument(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

VARIANT BoolArgument(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT ByRefBoolArgument(VARIANT_BOOL* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL | VT_BYREF;
  v.pboolVal = value;
  return v;
}

VARIANT IntArgument(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT TextArgument(BSTR text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}

}  // namespace vestrano::xlsim::win32
