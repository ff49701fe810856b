// The add-in object's IDispatch: the one implementation behind IDispatch, IDTExtensibility2 and
// IRibbonExtensibility. Office looks the ribbon callbacks up by name, one name per call and in
// whatever letter case the ribbon markup uses, so names are matched ignoring case.
#include <iterator>
#include <string_view>

#include "addin/ribbon.h"
#include "addin/win32/addin_object.h"
#include "addin/win32/ribbon_picture.h"
#include "addin/win32/this_module.h"
#include "addin/win32/vestrano_ids.h"
#include "host/diagnostics.h"
#include "host/win32/dispatch_args.h"
#include "host/win32/variant.h"

namespace vestrano::win32 {
namespace {

struct Member {
  const wchar_t* name;
  DISPID id;
};

// IDTExtensibility2 and IRibbonExtensibility keep Office's DISPIDs; GetCustomUI shares 1 with
// OnConnection, and Invoke tells them apart by their argument count (one against four).
constexpr Member kMembers[] = {
    {L"OnConnection", kDispidOnConnection},
    {L"OnDisconnection", kDispidOnDisconnection},
    {L"OnAddInsUpdate", kDispidOnAddInsUpdate},
    {L"OnStartupComplete", kDispidOnStartupComplete},
    {L"OnBeginShutdown", kDispidOnBeginShutdown},
    {L"GetCustomUI", kDispidGetCustomUI},
    {L"moRibbon", VESTRANO_DISPID_MORIBBON},
    {L"GetRibbonXML", VESTRANO_DISPID_GETRIBBONXML},
    {L"loadImage", VESTRANO_DISPID_LOADIMAGE},
    {L"rxcustomUI_onLoad", VESTRANO_DISPID_RXCUSTOMUI_ONLOAD},
    {L"GetPressed", VESTRANO_DISPID_GETPRESSED},
    {L"OnAction", VESTRANO_DISPID_ONACTION},
    {L"AboutMenu", VESTRANO_DISPID_ABOUTMENU},
    {L"OptionMenu", VESTRANO_DISPID_OPTIONMENU},
};

// Every member name is ASCII, so ASCII case folding is the whole comparison; it also needs no
// call that Windows XP lacks (CompareStringOrdinal came with Vista).
bool EqualsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b) {
  const auto fold = [](wchar_t c) -> wchar_t {
    return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c;
  };
  for (; *a && *b; ++a, ++b) {
    if (fold(*a) != fold(*b)) return false;
  }
  return *a == *b;
}

std::optional<DISPID> FindMember(const wchar_t* name) {
  if (!name) return std::nullopt;
  for (const auto& member : kMembers) {
    if (EqualsIgnoringAsciiCase(name, member.name)) return member.id;
  }
  return std::nullopt;
}

constexpr WORD kCallFlags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

bool IsPutRef(WORD flags, const DISPPARAMS* params) {
  return (flags & DISPATCH_PROPERTYPUTREF) && params->cArgs == 1 && params->cNamedArgs == 1 &&
         params->rgdispidNamedArgs && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

}  // namespace

HRESULT Vestranov3Object::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT Vestranov3Object::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT Vestranov3Object::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) noexcept {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  HRESULT hr = S_OK;
  const auto member = FindMember(names[0]);
  ids[0] = member.value_or(DISPID_UNKNOWN);
  if (!member) hr = DISP_E_UNKNOWNNAME;
  // No member takes named arguments.
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT Vestranov3Object::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT*) noexcept {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  DISPPARAMS no_args{nullptr, nullptr, 0, 0};
  if (!params) params = &no_args;
  if (result) VariantInit(result);
  HRESULT hr;
  try {
    if (id == VESTRANO_DISPID_MORIBBON) return MoRibbon(flags, params, result);
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (!(flags & kCallFlags)) return DISP_E_MEMBERNOTFOUND;
    hr = InvokeMember(id, flags, params, result);
  } catch (...) {
    host::ReportCaughtException("IDispatch::Invoke of the add-in");
    hr = E_UNEXPECTED;
  }
  // A member that ran and failed reports its failure as an exception, as Automation expects.
  if (FAILED(hr) && exception && HRESULT_FACILITY(hr) != FACILITY_DISPATCH) {
    *exception = EXCEPINFO{};
    exception->scode = hr;
    return DISP_E_EXCEPTION;
  }
  return hr;
}

HRESULT Vestranov3Object::InvokeGetCustomUI(const DISPPARAMS* params, VARIANT* result) {
  const auto ribbon_id = VariantToWide(*PositionalArg(params, 0));
  if (!ribbon_id) return DISP_E_TYPEMISMATCH;
  UniqueBstr id(*ribbon_id);
  UniqueBstr xml;
  const HRESULT hr = GetCustomUI(id.Get(), xml.Put());
  if (SUCCEEDED(hr) && result) {
    result->vt = VT_BSTR;
    result->bstrVal = xml.Detach();
  }
  return hr;
}

HRESULT Vestranov3Object::InvokeMember(DISPID id, WORD, const DISPPARAMS* params, VARIANT* result) {
  switch (id) {
    case kDispidOnConnection: {
      if (params->cArgs == 1) return InvokeGetCustomUI(params, result);
      const VARIANT* application = PositionalArg(params, 0);
      const VARIANT* mode = PositionalArg(params, 1);
      if (!application || !mode) return DISP_E_BADPARAMCOUNT;
      const auto connect_mode = VariantToInt(*mode);
      if (!connect_mode) return DISP_E_TYPEMISMATCH;
      return OnConnection(VariantToDispatch(*application).Get(),
                          static_cast<ext_ConnectMode>(*connect_mode), nullptr, nullptr);
    }
    case kDispidOnDisconnection: {
      const VARIANT* mode = PositionalArg(params, 0);
      const auto remove_mode = mode ? VariantToInt(*mode) : std::nullopt;
      return OnDisconnection(static_cast<ext_DisconnectMode>(remove_mode.value_or(0)), nullptr);
    }
    case kDispidOnAddInsUpdate:
    case kDispidOnStartupComplete:
    case kDispidOnBeginShutdown:
      return S_OK;
    case VESTRANO_DISPID_RXCUSTOMUI_ONLOAD: {
      const VARIANT* ribbon = PositionalArg(params, 0);
      if (!ribbon) return DISP_E_BADPARAMCOUNT;
      moRibbon_ = VariantToDispatch(*ribbon);
      return S_OK;
    }
    case VESTRANO_DISPID_GETRIBBONXML: {
      UniqueBstr xml = UniqueBstr::FromUtf8(addin_.GetRibbonXML());
      if (!xml.Get()) return E_OUTOFMEMORY;
      if (result) {
        result->vt = VT_BSTR;
        result->bstrVal = xml.Detach();
      }
      return S_OK;
    }
    case VESTRANO_DISPID_LOADIMAGE: {
      const VARIANT* image_id = PositionalArg(params, 0);
      if (!image_id) return DISP_E_BADPARAMCOUNT;
      // Any other id, or one that is no text, has no picture: Nothing, not a failure.
      const auto id = VariantToUtf8(*image_id);
      ComPtr<IDispatch> picture;
      if (id && IsRibbonImage(*id)) picture = LoadRibbonPicture(ThisModule());
      if (result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = picture.Detach();
      }
      return S_OK;
    }
    case VESTRANO_DISPID_GETPRESSED:
      if (result) {
        result->vt = VT_BOOL;
        result->boolVal = addin_.GetPressed() ? VARIANT_TRUE : VARIANT_FALSE;
      }
      return S_OK;
    case VESTRANO_DISPID_ONACTION: {
      const VARIANT* pressed = PositionalArg(params, 1);
      if (!pressed) return DISP_E_BADPARAMCOUNT;
      // By value or by reference, VT_BOOL or a number: whatever Office sends, coerced.
      const auto value = ReadByRefBool(pressed);
      if (!value) return DISP_E_TYPEMISMATCH;
      return addin_.OnAction(*value) ? S_OK : E_FAIL;
    }
    case VESTRANO_DISPID_ABOUTMENU:
      return addin_.AboutMenu() ? S_OK : E_FAIL;
    case VESTRANO_DISPID_OPTIONMENU:
      return addin_.OptionMenu() ? S_OK : E_FAIL;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT Vestranov3Object::MoRibbon(WORD flags, const DISPPARAMS* params, VARIANT* result) {
  if (IsPutRef(flags, params)) {
    const VARIANT* value = PositionalArg(params, 0);
    const bool empty = value->vt == VT_EMPTY || value->vt == VT_NULL;
    auto ribbon = VariantToDispatch(*value);
    if (!ribbon && !empty && !(value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN)) {
      return DISP_E_TYPEMISMATCH;
    }
    moRibbon_ = std::move(ribbon);
    return S_OK;
  }
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (params->cArgs != 0 || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (result) {
    result->vt = VT_DISPATCH;
    moRibbon_.CopyTo(&result->pdispVal);
  }
  return S_OK;
}

}  // namespace vestrano::win32
