// Checks of the add-in object's interfaces, through the vtable and through IDispatch.
#include "tests/wine/com_checks.h"

#include <algorithm>
#include <set>
#include <vector>

#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"
#include "tests/wine/fake_dispatch.h"
#include "tests/wine/fake_excel.h"

namespace wine_test {
namespace {

using vestrano::win32::UniqueBstr;

constexpr const wchar_t* kByNameMembers[] = {L"moRibbon",          L"GetRibbonXML", L"loadImage",
                                             L"rxcustomUI_onLoad", L"GetPressed",   L"OnAction",
                                             L"AboutMenu",         L"OptionMenu"};

void CheckIdentity(Checks& checks, IDTExtensibility2* addin) {
  auto connection = ComPtr<IDTExtensibility2>(addin);
  auto dispatch = connection.As<IDispatch>();
  auto ribbon = connection.As<IRibbonExtensibility>();
  auto unknown = connection.As<IUnknown>();
  checks.Check(dispatch && ribbon && unknown,
               "the add-in answers IDispatch, IRibbonExtensibility and IUnknown");
  if (!dispatch || !ribbon) return;
  checks.Check(unknown == ribbon.As<IUnknown>() && unknown == dispatch.As<IUnknown>(),
               "every interface of the add-in is the same object");
  ComPtr<IUnknown> other;
  const GUID unrelated = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  checks.Check(addin->QueryInterface(unrelated, other.PutVoid()) == E_NOINTERFACE && !other,
               "the add-in refuses an interface it does not have");
  // Office may look the callbacks up on any of the pointers it holds.
  bool same = true;
  for (const wchar_t* name : kByNameMembers) {
    const DISPID id = IdOfName(dispatch.Get(), name);
    same = same && id != DISPID_UNKNOWN && id == IdOfName(ribbon.Get(), name) &&
           id == IdOfName(connection.Get(), name);
  }
  checks.Check(same,
               "IDispatch, IRibbonExtensibility and IDTExtensibility2 resolve the by-name "
               "members alike");
}

void CheckNames(Checks& checks, IDispatch* dispatch) {
  const struct {
    const wchar_t* name;
    DISPID id;
  } kConnection[] = {{L"OnConnection", 1},
                     {L"OnDisconnection", 2},
                     {L"OnAddInsUpdate", 3},
                     {L"OnStartupComplete", 4},
                     {L"OnBeginShutdown", 5}};
  bool connection_ok = true;
  for (const auto& member : kConnection) {
    connection_ok = connection_ok && IdOfName(dispatch, member.name) == member.id;
  }
  checks.Check(connection_ok, "GetIDsOfNames gives OnConnection..OnBeginShutdown DISPIDs 1..5");

  constexpr const wchar_t* kOddCase[] = {L"MORIBBON",          L"getribbonxml", L"LoadImage",
                                         L"RXCUSTOMUI_ONLOAD", L"getPressed",   L"onaction",
                                         L"aboutMENU",         L"optionmenu"};
  std::set<DISPID> ids;
  for (std::size_t i = 0; i < std::size(kOddCase); ++i) {
    const DISPID odd = IdOfName(dispatch, kOddCase[i]);
    if (odd != DISPID_UNKNOWN && odd == IdOfName(dispatch, kByNameMembers[i])) ids.insert(odd);
  }
  checks.Check(ids.size() == std::size(kOddCase),
               "the by-name members resolve in any letter case, each to its own DISPID",
               Format("%zu of %zu", ids.size(), std::size(kOddCase)));

  // Near misses too: a prefix, a longer name, and a non-ASCII letter that upper-cases to 'I'.
  bool unknown_ok = true;
  for (std::wstring unknown : {L"NoSuchMember", L"OnActio", L"OnActions", L"OnAct\u0131on"}) {
    LPOLESTR names[] = {unknown.data()};
    DISPID id = 0;
    unknown_ok = unknown_ok &&
                 dispatch->GetIDsOfNames(IID_NULL, names, 1, 1033, &id) == DISP_E_UNKNOWNNAME &&
                 id == DISPID_UNKNOWN;
  }
  checks.Check(unknown_ok, "unknown names and near misses give DISP_E_UNKNOWNNAME");
}

void CheckRibbonMember(Checks& checks, IDispatch* dispatch) {
  const DISPID mo_ribbon = IdOfName(dispatch, L"moRibbon");
  auto ribbon = NewNamedObject(L"RibbonUI");
  HRESULT put =
      CallByDispid(dispatch, mo_ribbon, DISPATCH_PROPERTYPUTREF, {ObjectArg(ribbon.Get())});
  VARIANT read;
  VariantInit(&read);
  HRESULT get = CallByDispid(dispatch, mo_ribbon, DISPATCH_PROPERTYGET, {}, &read);
  checks.Check(
      SUCCEEDED(put) && SUCCEEDED(get) && read.vt == VT_DISPATCH && read.pdispVal == ribbon.Get(),
      "moRibbon keeps the object set by reference");
  VariantClear(&read);

  auto other = NewNamedObject(L"RibbonUI");
  const HRESULT loaded = CallByDispid(dispatch, IdOfName(dispatch, L"rxcustomUI_onLoad"),
                                      DISPATCH_METHOD, {ObjectArg(other.Get())});
  get = CallByDispid(dispatch, mo_ribbon, DISPATCH_PROPERTYGET, {}, &read);
  checks.Check(
      SUCCEEDED(loaded) && SUCCEEDED(get) && read.vt == VT_DISPATCH && read.pdispVal == other.Get(),
      "rxcustomUI_onLoad stores the ribbon in moRibbon");
  VariantClear(&read);
  VARIANT nothing;
  VariantInit(&nothing);
  nothing.vt = VT_DISPATCH;
  CallByDispid(dispatch, mo_ribbon, DISPATCH_PROPERTYPUTREF, {nothing});
  checks.Check(other->AddRef() == 2 && other->Release() == 1,
               "setting moRibbon to Nothing releases the ribbon");
}

void CheckNotifications(Checks& checks, IDTExtensibility2* addin) {
  SAFEARRAY* custom = nullptr;
  checks.Check(addin->OnAddInsUpdate(&custom) == S_OK &&
                   addin->OnStartupComplete(&custom) == S_OK &&
                   addin->OnBeginShutdown(&custom) == S_OK,
               "OnAddInsUpdate, OnStartupComplete, OnBeginShutdown answer S_OK (vtable)");
  bool by_dispid = true;
  for (DISPID id = 3; id <= 5; ++id) {
    by_dispid = by_dispid && CallByDispid(addin, id, DISPATCH_METHOD, {}) == S_OK;
  }
  checks.Check(by_dispid, "DISPIDs 3, 4 and 5 answer S_OK through Invoke");

  auto ribbon = ComPtr<IDTExtensibility2>(addin).As<IRibbonExtensibility>();
  UniqueBstr markup;
  std::wstring id = L"Microsoft.Excel.Workbook";
  const HRESULT hr = ribbon ? ribbon->GetCustomUI(id.data(), markup.Put()) : E_NOINTERFACE;
  checks.Info(Format("GetCustomUI answers 0x%08lx with %zu characters",
                     static_cast<unsigned long>(hr), markup.View().size()));
}

}  // namespace

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  std::wstring text = name;
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 1033, &id))) return DISPID_UNKNOWN;
  return id;
}

HRESULT CallByDispid(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> args,
                     VARIANT* result) {
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, 1033, flags, &params, result, &exception, nullptr);
  UniqueBstr source;
  UniqueBstr description;
  UniqueBstr help_file;
  source.Reset(exception.bstrSource);
  description.Reset(exception.bstrDescription);
  help_file.Reset(exception.bstrHelpFile);
  return hr == DISP_E_EXCEPTION && exception.scode ? exception.scode : hr;
}

void CheckAddinInterfaces(Checks& checks, IDTExtensibility2* addin) {
  CheckIdentity(checks, addin);
  auto dispatch = ComPtr<IDTExtensibility2>(addin).As<IDispatch>();
  if (!dispatch) return;
  CheckNames(checks, dispatch.Get());
  CheckRibbonMember(checks, dispatch.Get());
  CheckNotifications(checks, addin);
}

}  // namespace wine_test
