// The base of the test's own Automation objects: members by name and DISPID, each served by a
// handler, and a record of how callers used them (which names they resolved, with which
// locale they invoked), so that the test can check the add-in's calling habits.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/win32/com_ptr.h"
#include "host/win32/windows_api.h"

namespace wine_test {

using vestrano::win32::ComPtr;

// What every fake object saw, across all objects.
struct DispatchLog {
  // "Kind.Member" -> number of GetIDsOfNames calls that asked for it.
  std::map<std::string, int> resolved;
  int invokes = 0;
  int invokes_without_locale_1033 = 0;
};
DispatchLog& Log();

class FakeDispatch : public IDispatch {
 public:
  // args: the arguments in declaration order; result may be null.
  using Handler =
      std::function<HRESULT(WORD flags, const std::vector<VARIANT*>& args, VARIANT* result)>;

  explicit FakeDispatch(std::string kind) : kind_(std::move(kind)) {}
  virtual ~FakeDispatch() = default;

  LONG RefCount() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) noexcept override;

 protected:
  void Add(const wchar_t* name, DISPID id, Handler handler);
  // A read-only property whose value `get` writes into the result.
  void AddGetter(const wchar_t* name, DISPID id, std::function<void(VARIANT*)> get);
  // Interfaces beyond IUnknown and IDispatch; null when not supported.
  virtual void* QueryOther(REFIID) { return nullptr; }

 private:
  struct Member {
    std::wstring name;
    DISPID id;
    Handler handler;
  };
  std::string kind_;
  std::vector<Member> members_;
  LONG refs_ = 1;
};

// Result helpers for handlers.
void SetInt(VARIANT* result, LONG value);
void SetBool(VARIANT* result, bool value);
void SetString(VARIANT* result, const wchar_t* value);
void SetDispatch(VARIANT* result, IDispatch* value);

// Arguments for the calls the test makes; borrowed, not owned, so they need no clearing.
VARIANT IntArg(LONG value);
VARIANT ObjectArg(IDispatch* object);

// IEnumVARIANT over objects, for _NewEnum.
IUnknown* NewObjectEnum(std::vector<ComPtr<IDispatch>> items);

}  // namespace wine_test
