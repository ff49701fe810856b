// The oleacc calls. Every VARIANT and BSTR that a call hands back is owned at once, so that each
// is released on every path; a child that is no IAccessible is left out.
#include "host/win32/win32_accessibility.h"

#include "host/win32/windows_api.h"

#include <oleacc.h>

#include <vector>

#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"
#include "host/win32/wide_text.h"

namespace vestrano::win32 {
namespace {

// More children than any dialog has; a provider claiming more is not believed.
constexpr LONG kMaxChildren = 100000;

VARIANT ChildId(std::int32_t child) {
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  return id;
}

std::optional<LONG> WholeNumber(const VARIANT& v) {
  if (v.vt == VT_I4) return v.lVal;
  if (v.vt == VT_I2) return v.iVal;
  return std::nullopt;
}

class Win32Accessible final : public host::IAccessibleObject {
 public:
  explicit Win32Accessible(ComPtr<IAccessible> accessible) : accessible_(std::move(accessible)) {}

  std::optional<std::int32_t> accChildCount() override {
    LONG count = 0;
    if (FAILED(accessible_->get_accChildCount(&count))) return std::nullopt;
    return count;
  }

  host::AccessibleChildren Children(std::int32_t start, std::int32_t count) override {
    host::AccessibleChildren result;
    if (start < 0 || count < 0 || count > kMaxChildren) return result;
    std::vector<UniqueVariant> children(static_cast<std::size_t>(count));
    // UniqueVariant holds exactly one VARIANT, so the vector is the array oleacc fills.
    static_assert(sizeof(UniqueVariant) == sizeof(VARIANT));
    LONG obtained = 0;
    const HRESULT hr = ::AccessibleChildren(
        accessible_.Get(), start, count, children.empty() ? nullptr : children[0].Get(), &obtained);
    if (FAILED(hr)) return result;
    result.status = hr == S_OK ? host::AccessibleChildren::kAll : host::AccessibleChildren::kFewer;
    for (LONG i = 0; i < obtained && i < count; ++i) {
      const VARIANT& child = *children[static_cast<std::size_t>(i)].Get();
      if (child.vt == VT_DISPATCH || child.vt == VT_UNKNOWN) {
        IUnknown* unknown = child.vt == VT_DISPATCH ? child.pdispVal : child.punkVal;
        ComPtr<IAccessible> object;
        if (unknown &&
            SUCCEEDED(unknown->QueryInterface(__uuidof(IAccessible), object.PutVoid()))) {
          result.children.push_back({std::make_shared<Win32Accessible>(std::move(object)), 0});
        }
      } else if (auto id = WholeNumber(child)) {
        result.children.push_back({nullptr, *id});
      }
    }
    return result;
  }

  std::optional<std::string> accName(std::int32_t child) override {
    UniqueBstr name;
    if (FAILED(accessible_->get_accName(ChildId(child), name.Put()))) return std::nullopt;
    return WideToUtf8(name.View());
  }

  std::optional<std::int32_t> accRole(std::int32_t child) override {
    UniqueVariant role;
    if (FAILED(accessible_->get_accRole(ChildId(child), role.Put()))) return std::nullopt;
    return WholeNumber(*role.Get());
  }

  std::optional<std::uint32_t> accState(std::int32_t child) override {
    UniqueVariant state;
    if (FAILED(accessible_->get_accState(ChildId(child), state.Put()))) return std::nullopt;
    const auto value = WholeNumber(*state.Get());
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
  }

  bool accDoDefaultAction(std::int32_t child) override {
    return SUCCEEDED(accessible_->accDoDefaultAction(ChildId(child)));
  }

 private:
  ComPtr<IAccessible> accessible_;
};

}  // namespace

host::AccessiblePtr Win32Accessibility::AccessibleObjectFromWindow(Hwnd hwnd) {
  ComPtr<IAccessible> accessible;
  const HRESULT hr = ::AccessibleObjectFromWindow(reinterpret_cast<HWND>(hwnd.value), OBJID_WINDOW,
                                                  __uuidof(IAccessible), accessible.PutVoid());
  if (FAILED(hr) || !accessible) return nullptr;
  return std::make_shared<Win32Accessible>(std::move(accessible));
}

}  // namespace vestrano::win32
