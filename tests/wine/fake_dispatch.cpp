// The test's Automation base object and the enumerator of its collections.
#include "tests/wine/fake_dispatch.h"

#include "host/win32/com_object.h"
#include "tests/wine/checks.h"

namespace wine_test {

DispatchLog& Log() {
  static DispatchLog log;
  return log;
}

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
  } else {
    *out = QueryOther(iid);
  }
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG FakeDispatch::Release() noexcept {
  const ULONG refs = InterlockedDecrement(&refs_);
  if (refs == 0) delete this;
  return refs;
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT FakeDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                    DISPID* ids) noexcept {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  Log().resolved[kind_ + "." + Narrow(names[0])]++;
  for (const auto& member : members_) {
    if (CompareStringOrdinal(names[0], -1, member.name.c_str(), -1, TRUE) == CSTR_EQUAL) {
      ids[0] = member.id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT FakeDispatch::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT*) noexcept {
  Log().invokes++;
  if (locale != 1033) Log().invokes_without_locale_1033++;
  if (result) VariantInit(result);
  std::vector<VARIANT*> args;
  if (params) {
    for (UINT i = params->cArgs; i > 0; --i) args.push_back(&params->rgvarg[i - 1]);
  }
  for (const auto& member : members_) {
    if (member.id == id) {
      try {
        return member.handler(flags, args, result);
      } catch (...) {
        return E_UNEXPECTED;
      }
    }
  }
  return DISP_E_MEMBERNOTFOUND;
}

void FakeDispatch::Add(const wchar_t* name, DISPID id, Handler handler) {
  members_.push_back({name, id, std::move(handler)});
}

void FakeDispatch::AddGetter(const wchar_t* name, DISPID id, std::function<void(VARIANT*)> get) {
  Add(name, id, [get = std::move(get)](WORD flags, const std::vector<VARIANT*>&, VARIANT* result) {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (result) get(result);
    return S_OK;
  });
}

void SetInt(VARIANT* result, LONG value) {
  result->vt = VT_I4;
  result->lVal = value;
}

void SetBool(VARIANT* result, bool value) {
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetString(VARIANT* result, const wchar_t* value) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocString(value);
}

void SetDispatch(VARIANT* result, IDispatch* value) {
  result->vt = VT_DISPATCH;
  result->pdispVal = value;
  if (value) value->AddRef();
}

VARIANT IntArg(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT ObjectArg(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

namespace {

class ObjectEnum final : public vestrano::win32::ComObject<ObjectEnum, IEnumVARIANT> {
 public:
  explicit ObjectEnum(std::vector<ComPtr<IDispatch>> items) : items_(std::move(items)) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) noexcept override {
    ULONG done = 0;
    for (; done < count && next_ < items_.size(); ++done, ++next_) {
      VariantInit(&out[done]);
      SetDispatch(&out[done], items_[next_].Get());
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override {
    next_ += count;
    return next_ <= items_.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() noexcept override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) noexcept override {
    if (!out) return E_POINTER;
    auto* copy = new ObjectEnum(items_);
    copy->next_ = next_;
    *out = copy;
    return S_OK;
  }

 private:
  std::vector<ComPtr<IDispatch>> items_;
  std::size_t next_ = 0;
};

}  // namespace

IUnknown* NewObjectEnum(std::vector<ComPtr<IDispatch>> items) {
  return new ObjectEnum(std::move(items));
}

}  // namespace wine_test
