// Late-bound calls into Excel and Office: names resolved once per interface with GetIDsOfNames
// and cached, arguments given in declaration order (reversed into DISPPARAMS here), locale 1033
// for every call so that Excel parses and formats in English whatever the user's settings.
#pragma once

#include "host/win32/windows_api.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"

namespace vestrano::win32 {

inline constexpr LCID kAutomationLocale = 1033;

// DISPIDs of one interface by member name. Excel's objects of one kind all answer the same
// DISPIDs (they come from its type library), so one cache serves every object of that kind; a
// name the object does not know is remembered too, so that it is asked once.
class DispatchNames {
 public:
  std::optional<DISPID> Find(IDispatch* object, std::wstring_view name);

 private:
  std::vector<std::pair<std::wstring, std::optional<DISPID>>> cache_;
};

// One late-bound object together with the cache of its kind.
class DispatchObject {
 public:
  DispatchObject(ComPtr<IDispatch> object, DispatchNames& names)
      : object_(std::move(object)), names_(&names) {}

  IDispatch* Get() const { return object_.Get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }

  // The property's value, or nothing when the member is unknown or the call failed.
  std::optional<UniqueVariant> GetProperty(std::wstring_view name,
                                           std::initializer_list<const VARIANT*> args = {});
  std::optional<UniqueVariant> CallMethod(std::wstring_view name,
                                          std::initializer_list<const VARIANT*> args = {});
  // Sets the property; false when the member is unknown or the call failed.
  bool PutProperty(std::wstring_view name, const VARIANT& value);
  // DISPID_NEWENUM: every item of a collection in the collection's order.
  std::optional<std::vector<UniqueVariant>> Enumerate();

  std::optional<bool> GetBool(std::wstring_view name);
  std::optional<LONG> GetInt(std::wstring_view name);
  std::optional<std::string> GetText(std::wstring_view name);
  ComPtr<IDispatch> GetDispatch(std::wstring_view name,
                                std::initializer_list<const VARIANT*> args = {});

 private:
  std::optional<UniqueVariant> Invoke(std::wstring_view name, WORD flags,
                                      std::initializer_list<const VARIANT*> args);

  ComPtr<IDispatch> object_;
  DispatchNames* names_;
};

// IDispatch::Invoke with arguments in declaration order; the result in `result` when given.
HRESULT InvokeWithArgs(IDispatch* object, DISPID id, WORD flags,
                       std::initializer_list<const VARIANT*> args, VARIANT* result);
// DISPATCH_PROPERTYPUT of one value, passed as the named argument DISPID_PROPERTYPUT.
HRESULT PutWithValue(IDispatch* object, DISPID id, const VARIANT& value);

}  // namespace vestrano::win32
