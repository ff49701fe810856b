// VARIANT and BSTR owned the RAII way, and the conversions the adapters need between them and
// the logic's plain values.
#pragma once

#include "host/win32/windows_api.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/win32/com_ptr.h"

namespace vestrano::win32 {

class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(std::wstring_view text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  UniqueBstr(UniqueBstr&& other) noexcept : bstr_(other.Detach()) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }
  ~UniqueBstr() { Reset(); }

  static UniqueBstr FromUtf8(std::string_view utf8);
  BSTR Get() const { return bstr_; }
  BSTR* Put() {
    Reset();
    return &bstr_;
  }
  void Reset(BSTR bstr = nullptr) {
    if (BSTR old = std::exchange(bstr_, bstr)) SysFreeString(old);
  }
  BSTR Detach() { return std::exchange(bstr_, nullptr); }
  std::wstring_view View() const { return {bstr_ ? bstr_ : L"", SysStringLen(bstr_)}; }

 private:
  BSTR bstr_ = nullptr;
};

class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&v_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  UniqueVariant(UniqueVariant&& other) noexcept : UniqueVariant() { std::swap(v_, other.v_); }
  UniqueVariant& operator=(UniqueVariant&& other) noexcept {
    if (this != &other) {
      Clear();
      std::swap(v_, other.v_);
    }
    return *this;
  }
  ~UniqueVariant() { Clear(); }

  static UniqueVariant FromInt(LONG value);
  static UniqueVariant FromBool(bool value);
  static UniqueVariant FromString(std::string_view utf8);
  // An optional argument left out (VT_ERROR, DISP_E_PARAMNOTFOUND), as Automation marks one
  // that is skipped before a later one.
  static UniqueVariant Missing();

  VARIANT* Get() { return &v_; }
  const VARIANT* Get() const { return &v_; }
  // Clears what is held and gives the address for an out parameter.
  VARIANT* Put() {
    Clear();
    return &v_;
  }
  void Clear() { VariantClear(&v_); }
  // Hands the value to a caller who takes it over (such as Invoke's pVarResult).
  VARIANT Detach() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

// Conversions of a VARIANT that may be by value or by reference, as Office passes either. None
// of them changes the source.
std::optional<bool> VariantToBool(const VARIANT& v);
std::optional<LONG> VariantToInt(const VARIANT& v);
std::optional<LONGLONG> VariantToInt64(const VARIANT& v);
std::optional<std::wstring> VariantToWide(const VARIANT& v);
std::optional<std::string> VariantToUtf8(const VARIANT& v);
// VT_DISPATCH, or an object that answers IDispatch; null otherwise.
ComPtr<IDispatch> VariantToDispatch(const VARIANT& v);

}  // namespace vestrano::win32
