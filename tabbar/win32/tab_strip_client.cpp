// host::ITabControl and its companions over ITabStrip. Each wrapper holds only COM references;
// the strip raises its events through a small sink object that the wrapper detaches again, so
// that no reference cycle keeps the strip (and its window) alive.
#include "tabbar/win32/tab_strip_client.h"

#include <cstdio>
#include <memory>
#include <string>

#include "host/diagnostics.h"
#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/wide_text.h"
#include "tabbar/tab_images.h"
#include "tabbar/win32/tab_image_list.h"
#include "tabctl/win32/zandrelix_api.h"

namespace vestrano::win32 {
namespace {

using tabctl::ITabStrip;
using tabctl::ITabStripEvents;
using tabctl::ITabStripItem;

class Bstr {
 public:
  explicit Bstr(std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  Bstr() = default;
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return value_; }
  BSTR* Put() { return &value_; }
  std::string Utf8() const { return WideToUtf8({value_, value_ ? SysStringLen(value_) : 0}); }

 private:
  BSTR value_ = nullptr;
};

class StripItem final : public host::ITabItem {
 public:
  explicit StripItem(ComPtr<ITabStripItem> item) : item_(std::move(item)) {}
  std::optional<std::string> Caption() override {
    Bstr caption;
    if (FAILED(item_->get_Caption(caption.Put()))) return std::nullopt;
    return caption.Utf8();
  }
  bool SetCaption(std::string_view caption) override {
    const Bstr text(caption);
    return SUCCEEDED(item_->put_Caption(text.Get()));
  }
  bool SetToolTip(std::string_view tooltip) override {
    const Bstr text(tooltip);
    return SUCCEEDED(item_->put_ToolTip(text.Get()));
  }
  bool SetImage(int index) override { return SUCCEEDED(item_->put_Image(index)); }
  bool SetSelected(bool selected) override {
    return SUCCEEDED(item_->put_Selected(selected ? VARIANT_TRUE : VARIANT_FALSE));
  }
  std::optional<int> Index() override {
    LONG index = 0;
    if (FAILED(item_->get_Index(&index))) return std::nullopt;
    return static_cast<int>(index);
  }

 private:
  ComPtr<ITabStripItem> item_;
};

host::TabItemPtr Wrap(HRESULT hr, ITabStripItem* item) {
  auto owned = ComPtr<ITabStripItem>::Adopt(item);
  if (hr != S_OK || !owned) return nullptr;
  return std::make_shared<StripItem>(std::move(owned));
}

// Receives the strip's events and hands them to the form; a failure in the form's handlers is
// reported here and goes no further into the strip.
class EventSink final : public ComObject<EventSink, ITabStripEvents> {
 public:
  void Detach() { events_ = nullptr; }
  void Attach(host::ITabControlEvents* events) { events_ = events; }

  HRESULT STDMETHODCALLTYPE BeforeItemClick(ITabStripItem* item,
                                            VARIANT_BOOL* cancel) noexcept override {
    try {
      if (!events_ || !item) return S_OK;
      item->AddRef();
      bool cancelled = cancel && *cancel != VARIANT_FALSE;
      events_->BeforeItemClick(Wrap(S_OK, item), cancelled);
      if (cancel) *cancel = cancelled ? VARIANT_TRUE : VARIANT_FALSE;
    } catch (...) {
      host::ReportCaughtException("the tab strip's BeforeItemClick");
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SelectedChanged(ITabStripItem* item) noexcept override {
    try {
      if (!events_ || !item) return S_OK;
      item->AddRef();
      events_->SelectedChanged(Wrap(S_OK, item));
    } catch (...) {
      host::ReportCaughtException("the tab strip's SelectedChanged");
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MouseUp(SHORT button, SHORT shift, FLOAT x, FLOAT y) noexcept override {
    try {
      if (events_) events_->MouseUp(button, shift, x, y);
    } catch (...) {
      host::ReportCaughtException("the tab strip's MouseUp");
    }
    return S_OK;
  }

 private:
  host::ITabControlEvents* events_ = nullptr;
};

class StripColorSet final : public host::IColorSet {
 public:
  explicit StripColorSet(ComPtr<ITabStrip> strip) : strip_(std::move(strip)) {}
  bool SetHeaderFaceDark(Rgb color) override {
    return SUCCEEDED(strip_->put_HeaderFaceDark(color.ToColorRef()));
  }
  bool SetHeaderFaceLight(Rgb color) override {
    return SUCCEEDED(strip_->put_HeaderFaceLight(color.ToColorRef()));
  }
  bool SetButtonNormal(Rgb color) override {
    return SUCCEEDED(strip_->put_ButtonNormal(color.ToColorRef()));
  }

 private:
  ComPtr<ITabStrip> strip_;
};

class StripPaintManager final : public host::IPaintManager {
 public:
  explicit StripPaintManager(ComPtr<ITabStrip> strip) : strip_(std::move(strip)) {}
  bool SetAppearance(int appearance) override {
    return SUCCEEDED(strip_->put_Appearance(appearance));
  }
  bool SetColor(int color) override { return SUCCEEDED(strip_->put_Color(color)); }
  bool SetDisableLunaColors(bool disable) override {
    return SUCCEEDED(strip_->put_DisableLunaColors(disable ? VARIANT_TRUE : VARIANT_FALSE));
  }
  bool SetPosition(int position) override { return SUCCEEDED(strip_->put_Position(position)); }
  bool SetShowIcons(bool show) override {
    return SUCCEEDED(strip_->put_ShowIcons(show ? VARIANT_TRUE : VARIANT_FALSE));
  }
  host::ColorSetPtr ColorSet() override { return std::make_shared<StripColorSet>(strip_); }

 private:
  ComPtr<ITabStrip> strip_;
};

class StripControl final : public host::ITabControl {
 public:
  explicit StripControl(ComPtr<ITabStrip> strip)
      : strip_(std::move(strip)), sink_(ComPtr<EventSink>::Adopt(new EventSink())) {}
  ~StripControl() override {
    sink_->Detach();
    strip_->Advise(nullptr);
  }
  StripControl(const StripControl&) = delete;
  StripControl& operator=(const StripControl&) = delete;

  void SetEventSink(host::ITabControlEvents* events) override {
    sink_->Attach(events);
    strip_->Advise(events ? sink_.Get() : nullptr);
  }
  bool RemoveAll() override { return SUCCEEDED(strip_->RemoveAll()); }
  host::TabItemPtr Selected() override {
    ITabStripItem* item = nullptr;
    const HRESULT hr = strip_->get_Selected(&item);
    return Wrap(hr, item);
  }
  std::optional<int> ItemCount() override {
    LONG count = 0;
    if (FAILED(strip_->get_ItemCount(&count))) return std::nullopt;
    return static_cast<int>(count);
  }
  bool SetItemCount(int count) override { return SUCCEEDED(strip_->put_ItemCount(count)); }
  host::TabItemPtr Item(int index) override {
    ITabStripItem* item = nullptr;
    const HRESULT hr = strip_->Item(index, &item);
    return Wrap(hr, item);
  }
  host::TabItemPtr HitTest(int x, int y) override {
    ITabStripItem* item = nullptr;
    const HRESULT hr = strip_->HitTest(x, y, &item);
    return Wrap(hr, item);
  }
  bool SetImageList(const host::ImageListPtr& images) override {
    auto* list = dynamic_cast<TabImageList*>(images.get());
    if (images && !list) return false;
    // The list must outlive its use by the strip.
    images_ = images;
    return SUCCEEDED(
        strip_->SetImageList(reinterpret_cast<ULONG_PTR>(list ? list->Handle() : nullptr)));
  }
  host::PaintManagerPtr PaintManager() override {
    return std::make_shared<StripPaintManager>(strip_);
  }
  bool SetAppearance(int appearance) override {
    return SUCCEEDED(strip_->put_Appearance(appearance));
  }
  std::optional<double> Left() override {
    double twips = 0;
    if (FAILED(strip_->get_Left(&twips))) return std::nullopt;
    return twips;
  }
  bool SetLeft(double twips) override { return SUCCEEDED(strip_->put_Left(twips)); }
  bool SetWidth(double twips) override { return SUCCEEDED(strip_->put_Width(twips)); }
  bool Refresh() override { return SUCCEEDED(strip_->Refresh()); }
  std::optional<int> PixelsPerInch() override {
    LONG dpi = 0;
    if (FAILED(strip_->get_PixelsPerInch(&dpi)) || dpi <= 0) return std::nullopt;
    return static_cast<int>(dpi);
  }

 private:
  ComPtr<ITabStrip> strip_;
  ComPtr<EventSink> sink_;
  host::ImageListPtr images_;
};

using GetClassObjectProc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowProc = HRESULT(STDAPICALLTYPE*)();

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

TabStripControlFactory::~TabStripControlFactory() {
  if (!module_) return;
  const auto can_unload = Export<CanUnloadNowProc>(module_, "DllCanUnloadNow");
  if (can_unload && can_unload() == S_OK) {
    FreeLibrary(module_);
  } else {
    // Something of it is still alive: the module stays for the rest of the process.
    host::ReportFailure("letting go of the tab strip module", "the module is still in use");
  }
}

HRESULT TabStripControlFactory::CreateFromFile(REFIID iid, void** out) {
  if (!module_file_) return REGDB_E_CLASSNOTREG;
  if (!module_) {
    module_ = LoadLibraryExW(module_file_->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module_) return HRESULT_FROM_WIN32(GetLastError());
  }
  const auto get_class = Export<GetClassObjectProc>(module_, "DllGetClassObject");
  if (!get_class) return E_FAIL;
  ComPtr<IClassFactory> factory;
  const HRESULT hr = get_class(tabctl::kClsidTabStrip, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, iid, out);
}

host::TabBarControls TabStripControlFactory::CreateTabBarControls(Hwnd form) {
  ComPtr<ITabStrip> strip;
  const HRESULT hr = CreateFromFile(__uuidof(ITabStrip), strip.PutVoid());
  if (FAILED(hr) || !strip) {
    host::ReportFailure("creating the tab strip",
                        "the module file gave no tab strip: error " +
                            std::to_string(static_cast<unsigned long>(hr)));
    return {};
  }
  ULONG_PTR window = 0;
  if (FAILED(strip->Attach(static_cast<ULONG_PTR>(form.value), &window))) return {};
  LONG icon_size = 16;
  strip->get_IconSize(&icon_size);
  return {std::make_shared<StripControl>(std::move(strip)), MakeTabImageList(icon_size)};
}

}  // namespace vestrano::win32
