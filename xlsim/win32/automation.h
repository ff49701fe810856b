// The Automation side of xlsim's Excel objects: IDispatch with members found by name (letter case
// ignored, as Excel's type library answers) and DISPIDs that are Excel's own, arguments by
// position or by name, the result in the caller's VARIANT, and Excel's run-time errors as
// DISP_E_EXCEPTION with an EXCEPINFO, as Automation clients expect them.
#pragma once

#include "host/win32/windows_api.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/win32/com_ptr.h"

namespace vestrano::xlsim::win32 {

using vestrano::win32::ComPtr;

// An error that a member raises: Excel's run-time error (an scode with its text) or a plain
// failure HRESULT.
struct AutomationError {
  HRESULT scode;
  std::wstring description;  // empty: not an exception, `scode` is returned as it is
};

// Excel's errors that the members raise.
AutomationError SubscriptOutOfRange();
AutomationError TypeMismatch();
AutomationError Disconnected();  // the object's workbook, window or control is gone
AutomationError Refused(std::wstring description);

// One call of IDispatch::Invoke, as a member sees it.
class Call {
 public:
  Call(WORD flags, DISPPARAMS* params, VARIANT* result)
      : flags_(flags), params_(params), result_(result) {}

  bool Getting() const { return (flags_ & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0; }
  bool Putting() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

  // The argument at `index` in declaration order, by position or by name (a named argument's
  // DISPID is its index); null when left out or passed as missing. By-reference VARIANTs are
  // taken off.
  const VARIANT* Arg(UINT index) const;
  // The value of a property put.
  const VARIANT* Value() const;

  // Converted arguments; TypeMismatch when the argument cannot be converted, `fallback` when it
  // was left out.
  LONG Int(UINT index, std::optional<LONG> fallback = std::nullopt) const;
  bool Bool(UINT index, std::optional<bool> fallback = std::nullopt) const;
  std::wstring Text(UINT index, std::optional<std::wstring> fallback = std::nullopt) const;
  LONG IntValue() const;
  bool BoolValue() const;
  std::wstring TextValue() const;

  void Return(LONG value);
  void Return(bool value);
  void Return(std::wstring_view value);
  void Return(IDispatch* object);  // takes a reference of its own; null is Nothing
  void ReturnUnknown(IUnknown* object);
  void ReturnVariant(const VARIANT& value);

 private:
  WORD flags_;
  DISPPARAMS* params_;
  VARIANT* result_;
};

template <typename Object>
struct Member {
  const wchar_t* name;
  DISPID id;
  void (Object::*run)(Call& call);
  // Parameter names separated by blanks, for callers that pass arguments by name.
  const wchar_t* parameters = L"";
};

// The name lookup and the Invoke dispatch over a table of members.
struct MemberView {
  const wchar_t* name;
  DISPID id;
  const wchar_t* parameters;
};
HRESULT FindMembers(std::span<const MemberView> members, LPOLESTR* names, UINT count, DISPID* ids);
// Runs `run` with Excel's error policy: an AutomationError becomes its HRESULT or an exception.
template <typename Run>
HRESULT RunMember(Run run, EXCEPINFO* exception);

// The base of every Excel object: IUnknown, IDispatch over `Derived::kMembers`, and whatever
// other interfaces `Derived::Other` answers.
template <typename Derived, typename Interface = IDispatch>
class Automation : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
    } else {
      *out = static_cast<Derived*>(this)->Other(iid);
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete static_cast<Derived*>(this);
    return refs;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    std::vector<MemberView> views;
    for (const auto& member : Derived::kMembers) {
      views.push_back({member.name, member.id, member.parameters});
    }
    return FindMembers(views, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* bad_arg) noexcept override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (bad_arg) *bad_arg = 0;
    if (result) VariantInit(result);
    for (const auto& member : Derived::kMembers) {
      if (member.id != id) continue;
      // Keeps the object while the member runs: what it calls may let go of it.
      const ComPtr<Interface> keep(this);
      Call call(flags, params, result);
      auto* self = static_cast<Derived*>(this);
      return RunMember([&] { (self->*member.run)(call); }, exception);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 protected:
  Automation() = default;
  virtual ~Automation() = default;
  void* Other(REFIID) { return nullptr; }

 private:
  LONG refs_ = 1;
};

template <typename Run>
HRESULT RunMember(Run run, EXCEPINFO* exception) {
  try {
    run();
    return S_OK;
  } catch (const AutomationError& error) {
    if (error.description.empty()) return error.scode;
    if (exception) {
      *exception = EXCEPINFO{};
      exception->bstrSource = SysAllocString(L"Microsoft Excel");
      exception->bstrDescription = SysAllocString(error.description.c_str());
      exception->scode = error.scode;
    }
    return DISP_E_EXCEPTION;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// IEnumVARIANT over objects, for _NewEnum.
ComPtr<IUnknown> NewEnumerator(std::vector<ComPtr<IDispatch>> items);

// Calls `object`'s member `id` with arguments in declaration order (a method, the way Excel
// raises events and Office calls back); the result in `result` when given.
HRESULT CallByDispid(IDispatch* object, DISPID id, std::vector<VARIANT> args,
                     VARIANT* result = nullptr);
// Finds `name` with GetIDsOfNames, then calls it as above.
HRESULT CallByName(IDispatch* object, std::wstring_view name, std::vector<VARIANT> args,
                   VARIANT* result = nullptr);

// VARIANT arguments that borrow what they hold: the caller keeps the strings and objects alive.
VARIANT ObjectArgument(IDispatch* object);
VARIANT BoolArgument(bool value);
VARIANT ByRefBoolArgument(VARIANT_BOOL* value);
VARIANT IntArgument(LONG value);
VARIANT TextArgument(BSTR text);

}  // namespace vestrano::xlsim::win32
