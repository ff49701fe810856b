// ITabStrip and ITabStripItem. Every method runs guarded: a C++ exception becomes an HRESULT and
// a report, never an unwind into the caller.
#include "tabctl/win32/tab_strip_object.h"

#include <string>

#include "host/win32/com_guard.h"
#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/module_refs.h"
#include "tabctl/tab_strip_model.h"
#include "tabctl/win32/tab_strip_window.h"
#include "tabctl/win32/zandrelix_api.h"

namespace vestrano::tabctl {
namespace {

using vestrano::win32::ComObject;
using vestrano::win32::ComPtr;
using vestrano::win32::GuardedHresult;
using vestrano::win32::ObjectRef;

// No item with that id is in the row any more.
constexpr HRESULT kItemGone = TYPE_E_ELEMENTNOTFOUND;

std::u16string FromBstr(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text))
              : std::u16string();
}

HRESULT ToBstr(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

class TabStrip;

class TabStripItem final : public ComObject<TabStripItem, ITabStripItem> {
 public:
  TabStripItem(TabStrip* strip, ItemId id);
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) noexcept override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) noexcept override;
  HRESULT STDMETHODCALLTYPE get_ToolTip(BSTR* tooltip) noexcept override;
  HRESULT STDMETHODCALLTYPE put_ToolTip(BSTR tooltip) noexcept override;
  HRESULT STDMETHODCALLTYPE get_Image(LONG* image) noexcept override;
  HRESULT STDMETHODCALLTYPE put_Image(LONG image) noexcept override;
  HRESULT STDMETHODCALLTYPE get_Selected(VARIANT_BOOL* selected) noexcept override;
  HRESULT STDMETHODCALLTYPE put_Selected(VARIANT_BOOL selected) noexcept override;
  HRESULT STDMETHODCALLTYPE get_Index(LONG* index) noexcept override;

 private:
  template <typename Body>
  HRESULT WithItem(const char* where, Body body) noexcept;
  ObjectRef module_ref_;
  ComPtr<TabStrip> strip_;
  ItemId id_;
};

class TabStrip final : public ComObject<TabStrip, ITabStrip>, public IStripEvents {
 public:
  explicit TabStrip(HINSTANCE module) : window_(model_, static_cast<ITabStrip*>(this), module) {
    model_.SetEvents(this);
  }
  ~TabStrip() { model_.SetEvents(nullptr); }

  TabStripModel& Model() { return model_; }
  TabStripWindow& Window() { return window_; }
  HRESULT Wrap(std::optional<int> index, ITabStripItem** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!index || *index < 0 || *index >= model_.Count()) return S_FALSE;
    *out = new TabStripItem(this, model_.At(*index).id);
    return S_OK;
  }

  // ITabStrip
  HRESULT STDMETHODCALLTYPE Attach(ULONG_PTR parent, ULONG_PTR* window) noexcept override {
    return GuardedHresult("creating the tab strip's window", [&] {
      if (!window_.Create(reinterpret_cast<HWND>(parent))) return E_FAIL;
      window_.Place(window_.LeftTwips(), window_.WidthTwips());
      if (window) *window = reinterpret_cast<ULONG_PTR>(window_.Handle());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Advise(ITabStripEvents* sink) noexcept override {
    sink_ = ComPtr<ITabStripEvents>(sink);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RemoveAll() noexcept override {
    model_.RemoveAll();
    Changed(true);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ItemCount(LONG* count) noexcept override {
    if (!count) return E_POINTER;
    *count = model_.Count();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_ItemCount(LONG count) noexcept override {
    return GuardedHresult("setting the tab count", [&] {
      if (!model_.SetCount(count)) return E_INVALIDARG;
      Changed(true);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Item(LONG index, ITabStripItem** item) noexcept override {
    return GuardedHresult("a tab by index", [&] { return Wrap(index, item); });
  }
  HRESULT STDMETHODCALLTYPE get_Selected(ITabStripItem** item) noexcept override {
    return GuardedHresult("the selected tab", [&] { return Wrap(model_.SelectedIndex(), item); });
  }
  HRESULT STDMETHODCALLTYPE HitTest(LONG x, LONG y, ITabStripItem** item) noexcept override {
    return GuardedHresult("the tab under a point", [&] {
      const Hit hit = HitTestStrip(window_.Layout(), x, y, model_.SelectedIndex());
      return Wrap(hit.kind == HitKind::kTab ? std::optional(hit.index) : std::nullopt, item);
    });
  }
  HRESULT STDMETHODCALLTYPE SetImageList(ULONG_PTR image_list) noexcept override {
    window_.SetImageList(reinterpret_cast<HIMAGELIST>(image_list));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_IconSize(LONG* pixels) noexcept override {
    if (!pixels) return E_POINTER;
    *pixels = window_.IconSize();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Appearance(LONG appearance) noexcept override {
    if (appearance != kAppearanceExcel && appearance != kAppearanceAccess2007 &&
        appearance != kAppearanceOffice2003) {
      return E_INVALIDARG;
    }
    return SetLook(&Look::appearance, static_cast<int>(appearance));
  }
  HRESULT STDMETHODCALLTYPE put_Color(LONG color) noexcept override {
    return SetLook(&Look::color, static_cast<int>(color));
  }
  HRESULT STDMETHODCALLTYPE put_DisableLunaColors(VARIANT_BOOL disable) noexcept override {
    return SetLook(&Look::disable_luna_colors, disable != VARIANT_FALSE);
  }
  HRESULT STDMETHODCALLTYPE put_Position(LONG position) noexcept override {
    if (position != kPositionTop && position != kPositionBottom) return E_INVALIDARG;
    return SetLook(&Look::position, static_cast<int>(position));
  }
  HRESULT STDMETHODCALLTYPE put_ShowIcons(VARIANT_BOOL show) noexcept override {
    return SetLook(&Look::show_icons, show != VARIANT_FALSE);
  }
  HRESULT STDMETHODCALLTYPE put_HeaderFaceLight(COLORREF color) noexcept override {
    return SetLook(&Look::header_face_light, std::optional(color));
  }
  HRESULT STDMETHODCALLTYPE put_HeaderFaceDark(COLORREF color) noexcept override {
    return SetLook(&Look::header_face_dark, std::optional(color));
  }
  HRESULT STDMETHODCALLTYPE put_ButtonNormal(COLORREF color) noexcept override {
    return SetLook(&Look::button_normal, std::optional(color));
  }
  HRESULT STDMETHODCALLTYPE get_Left(DOUBLE* twips) noexcept override {
    if (!twips) return E_POINTER;
    *twips = window_.LeftTwips();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Left(DOUBLE twips) noexcept override {
    return window_.Place(twips, window_.WidthTwips()) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_Width(DOUBLE* twips) noexcept override {
    if (!twips) return E_POINTER;
    *twips = window_.WidthTwips();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Width(DOUBLE twips) noexcept override {
    return window_.Place(window_.LeftTwips(), twips) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_PixelsPerInch(LONG* dpi) noexcept override {
    if (!dpi) return E_POINTER;
    *dpi = window_.Dpi();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Refresh() noexcept override {
    window_.Changed();
    return window_.RepaintNow() ? S_OK : S_FALSE;
  }

  // The model's events, raised to the host's sink with the strip kept alive meanwhile.
  void BeforeItemClick(ItemId id, bool& cancel) override {
    ComPtr<ITabStripEvents> sink = sink_;
    ComPtr<ITabStripItem> item;
    if (!sink || Wrap(model_.IndexOf(id), item.Put()) != S_OK) return;
    VARIANT_BOOL cancelled = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    sink->BeforeItemClick(item.Get(), &cancelled);
    cancel = cancelled != VARIANT_FALSE;
  }
  void SelectedChanged(ItemId id) override {
    window_.Changed();
    const auto index = model_.IndexOf(id);
    if (window_.Handle() && index) {
      NotifyWinEvent(EVENT_OBJECT_SELECTION, window_.Handle(), OBJID_CLIENT, *index + 1);
    }
    ComPtr<ITabStripEvents> sink = sink_;
    ComPtr<ITabStripItem> item;
    if (!sink || Wrap(index, item.Put()) != S_OK) return;
    sink->SelectedChanged(item.Get());
  }
  void MouseUp(int button, int shift, float x, float y) override {
    if (ComPtr<ITabStripEvents> sink = sink_) {
      sink->MouseUp(static_cast<SHORT>(button), static_cast<SHORT>(shift), x, y);
    }
  }

  // A change of the row or of an item.
  void Changed(bool reordered) {
    window_.Changed();
    if (reordered && window_.Handle()) {
      NotifyWinEvent(EVENT_OBJECT_REORDER, window_.Handle(), OBJID_CLIENT, CHILDID_SELF);
    }
  }

 private:
  template <typename Field, typename Value>
  HRESULT SetLook(Field field, Value value) {
    window_.MutableLook().*field = value;
    window_.Changed();
    return S_OK;
  }

  ObjectRef module_ref_;
  TabStripModel model_;
  TabStripWindow window_;
  ComPtr<ITabStripEvents> sink_;
};

TabStripItem::TabStripItem(TabStrip* strip, ItemId id) : strip_(strip), id_(id) {}

template <typename Body>
HRESULT TabStripItem::WithItem(const char* where, Body body) noexcept {
  return GuardedHresult(where, [&]() -> HRESULT {
    const auto index = strip_->Model().IndexOf(id_);
    if (!index) return kItemGone;
    return body(*index);
  });
}

HRESULT TabStripItem::get_Caption(BSTR* caption) noexcept {
  return WithItem("a tab's caption",
                  [&](int index) { return ToBstr(strip_->Model().At(index).caption, caption); });
}
HRESULT TabStripItem::put_Caption(BSTR caption) noexcept {
  return WithItem("setting a tab's caption", [&](int) {
    strip_->Model().SetCaption(id_, FromBstr(caption));
    strip_->Changed(false);
    return S_OK;
  });
}
HRESULT TabStripItem::get_ToolTip(BSTR* tooltip) noexcept {
  return WithItem("a tab's tooltip",
                  [&](int index) { return ToBstr(strip_->Model().At(index).tooltip, tooltip); });
}
HRESULT TabStripItem::put_ToolTip(BSTR tooltip) noexcept {
  return WithItem("setting a tab's tooltip", [&](int) {
    strip_->Model().SetToolTip(id_, FromBstr(tooltip));
    return S_OK;
  });
}
HRESULT TabStripItem::get_Image(LONG* image) noexcept {
  if (!image) return E_POINTER;
  return WithItem("a tab's image", [&](int index) {
    *image = strip_->Model().At(index).image;
    return S_OK;
  });
}
HRESULT TabStripItem::put_Image(LONG image) noexcept {
  return WithItem("setting a tab's image", [&](int) {
    strip_->Model().SetImage(id_, static_cast<int>(image));
    strip_->Changed(false);
    return S_OK;
  });
}
HRESULT TabStripItem::get_Selected(VARIANT_BOOL* selected) noexcept {
  if (!selected) return E_POINTER;
  return WithItem("whether a tab is selected", [&](int index) {
    *selected = strip_->Model().SelectedIndex() == index ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}
HRESULT TabStripItem::put_Selected(VARIANT_BOOL selected) noexcept {
  return WithItem("selecting a tab", [&](int) {
    // A strip always shows one tab as current: only selecting means something.
    if (selected == VARIANT_FALSE) return S_OK;
    const ComPtr<TabStrip> keep = strip_;
    keep->Model().Select(id_);
    keep->Window().Changed();
    return S_OK;
  });
}
HRESULT TabStripItem::get_Index(LONG* index) noexcept {
  if (!index) return E_POINTER;
  return WithItem("a tab's index", [&](int at) {
    *index = at;
    return S_OK;
  });
}

}  // namespace

HRESULT CreateTabStrip(HINSTANCE module, REFIID iid, void** out) noexcept {
  return GuardedHresult("creating a tab strip", [&] {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto strip = ComPtr<TabStrip>::Adopt(new TabStrip(module));
    return strip->QueryInterface(iid, out);
  });
}

}  // namespace vestrano::tabctl
