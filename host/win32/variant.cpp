// VARIANT conversions through VariantChangeType, which follows the Automation rules for every
// source type, with by-reference sources dereferenced first.
#include "host/win32/variant.h"

#include "host/win32/wide_text.h"

namespace vestrano::win32 {
namespace {

constexpr LCID kLocale = 1033;

// The value converted to `type`, or nothing when Automation cannot convert it.
std::optional<UniqueVariant> Converted(const VARIANT& v, VARTYPE type) {
  UniqueVariant out;
  // VariantChangeType takes a non-const source although it does not change it.
  auto& source = const_cast<VARIANT&>(v);
  if (FAILED(VariantChangeTypeEx(out.Get(), &source, kLocale, 0, type))) return std::nullopt;
  return out;
}

}  // namespace

UniqueBstr UniqueBstr::FromUtf8(std::string_view utf8) {
  return UniqueBstr(Utf8ToWide(utf8));
}

UniqueVariant UniqueVariant::FromInt(LONG value) {
  UniqueVariant out;
  out.v_.vt = VT_I4;
  out.v_.lVal = value;
  return out;
}

UniqueVariant UniqueVariant::FromBool(bool value) {
  UniqueVariant out;
  out.v_.vt = VT_BOOL;
  out.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return out;
}

UniqueVariant UniqueVariant::Missing() {
  UniqueVariant out;
  out.v_.vt = VT_ERROR;
  out.v_.scode = DISP_E_PARAMNOTFOUND;
  return out;
}

UniqueVariant UniqueVariant::FromString(std::string_view utf8) {
  UniqueVariant out;
  out.v_.vt = VT_BSTR;
  out.v_.bstrVal = UniqueBstr::FromUtf8(utf8).Detach();
  return out;
}

std::optional<bool> VariantToBool(const VARIANT& v) {
  auto converted = Converted(v, VT_BOOL);
  if (!converted) return std::nullopt;
  return converted->Get()->boolVal != VARIANT_FALSE;
}

std::optional<LONG> VariantToInt(const VARIANT& v) {
  auto converted = Converted(v, VT_I4);
  if (!converted) return std::nullopt;
  return converted->Get()->lVal;
}

std::optional<LONGLONG> VariantToInt64(const VARIANT& v) {
  auto converted = Converted(v, VT_I8);
  if (!converted) return std::nullopt;
  return converted->Get()->llVal;
}

std::optional<std::wstring> VariantToWide(const VARIANT& v) {
  auto converted = Converted(v, VT_BSTR);
  if (!converted) return std::nullopt;
  const BSTR text = converted->Get()->bstrVal;
  return std::wstring(text ? text : L"", SysStringLen(text));
}

std::optional<std::string> VariantToUtf8(const VARIANT& v) {
  auto wide = VariantToWide(v);
  if (!wide) return std::nullopt;
  return WideToUtf8(*wide);
}

ComPtr<IDispatch> VariantToDispatch(const VARIANT& v) {
  const VARIANT* value = &v;
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) value = v.pvarVal;
  IUnknown* unknown = nullptr;
  switch (value->vt) {
    case VT_DISPATCH:
      return ComPtr<IDispatch>(value->pdispVal);
    case VT_DISPATCH | VT_BYREF:
      return value->ppdispVal ? ComPtr<IDispatch>(*value->ppdispVal) : nullptr;
    case VT_UNKNOWN:
      unknown = value->punkVal;
      break;
    case VT_UNKNOWN | VT_BYREF:
      unknown = value->ppunkVal ? *value->ppunkVal : nullptr;
      break;
    default:
      return nullptr;
  }
  ComPtr<IDispatch> dispatch;
  if (unknown) unknown->QueryInterface(IID_IDispatch, dispatch.PutVoid());
  return dispatch;
}

}  // namespace vestrano::win32
