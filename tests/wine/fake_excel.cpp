// The test's Excel. DISPIDs are Excel's own, so that the add-in meets the numbers it would meet
// in Excel (it must resolve them by name all the same).
#include "tests/wine/fake_excel.h"

#include "host/win32/com_object.h"
#include "tests/wine/checks.h"
#include "tests/wine/office_api.h"

namespace wine_test {
namespace {

// Collection items by 1-based index or by name (letter case ignored), as Excel's Item takes.
template <typename Item>
HRESULT ItemOf(const std::vector<std::pair<std::wstring, ComPtr<Item>>>& items,
               const std::vector<VARIANT*>& args, VARIANT* result) {
  if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
  VARIANT index;
  VariantInit(&index);
  if (SUCCEEDED(VariantChangeType(&index, args[0], 0, VT_I4))) {
    if (index.lVal < 1 || index.lVal > static_cast<LONG>(items.size())) return DISP_E_BADINDEX;
    if (result) SetDispatch(result, items[static_cast<std::size_t>(index.lVal - 1)].second.Get());
    return S_OK;
  }
  if (FAILED(VariantChangeType(&index, args[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
  HRESULT hr = DISP_E_BADINDEX;
  for (const auto& [name, item] : items) {
    if (CompareStringOrdinal(name.c_str(), -1, index.bstrVal, -1, TRUE) == CSTR_EQUAL) {
      if (result) SetDispatch(result, item.Get());
      hr = S_OK;
      break;
    }
  }
  VariantClear(&index);
  return hr;
}

template <typename Item>
class FakeCollection final : public FakeDispatch {
 public:
  FakeCollection(std::string kind, std::vector<std::pair<std::wstring, ComPtr<Item>>> items)
      : FakeDispatch(std::move(kind)), items_(std::move(items)) {
    AddGetter(L"Count", 0x76, [this](VARIANT* r) { SetInt(r, static_cast<LONG>(items_.size())); });
    auto item = [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) {
      return ItemOf(items_, args, r);
    };
    Add(L"Item", 0xAA, item);
    Add(L"_Default", DISPID_VALUE, item);
    AddGetter(L"_NewEnum", DISPID_NEWENUM, [this](VARIANT* r) {
      std::vector<ComPtr<IDispatch>> all;
      for (const auto& entry : items_) all.emplace_back(entry.second.Get());
      r->vt = VT_UNKNOWN;
      r->punkVal = NewObjectEnum(std::move(all));
    });
  }

 private:
  std::vector<std::pair<std::wstring, ComPtr<Item>>> items_;
};

class FakeWindow final : public FakeDispatch {
 public:
  FakeWindow() : FakeDispatch("Window") {
    AddGetter(L"Visible", 0x22E, [](VARIANT* r) { SetBool(r, true); });
    Add(L"Activate", 0x130, [](WORD, const std::vector<VARIANT*>&, VARIANT* r) {
      if (r) SetBool(r, true);
      return S_OK;
    });
  }
};

class FakeSheet final : public FakeDispatch {
 public:
  explicit FakeSheet(IDispatch* workbook) : FakeDispatch("Sheet"), workbook_(workbook) {
    AddGetter(L"Parent", 0x96, [this](VARIANT* r) { SetDispatch(r, workbook_.Get()); });
    AddGetter(L"Name", 0x6E, [](VARIANT* r) { SetString(r, L"Sheet1"); });
  }

 private:
  ComPtr<IDispatch> workbook_;
};

class FakeConnectionPoint final
    : public vestrano::win32::ComObject<FakeConnectionPoint, IConnectionPoint> {
 public:
  explicit FakeConnectionPoint(FakeApplication* application) : application_(application) {}
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = kDiidAppEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override {
    if (!out) return E_POINTER;
    return application_->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    return application_->Advise(sink, cookie);
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    return application_->Unadvise(cookie);
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  FakeApplication* application_;  // owns this connection point
};

}  // namespace

FakeWorkbook::FakeWorkbook(const TestWorkbook& book) : FakeDispatch("Workbook") {
  auto window = ComPtr<FakeWindow>::Adopt(new FakeWindow());
  windows_ = ComPtr<IDispatch>::Adopt(new FakeCollection<FakeWindow>("Windows", {{L"", window}}));
  AddGetter(L"Name", 0x6E, [book](VARIANT* r) { SetString(r, book.name.c_str()); });
  AddGetter(L"FullName", 0x121, [book](VARIANT* r) { SetString(r, book.full_name.c_str()); });
  AddGetter(L"Saved", 0x12A, [book](VARIANT* r) { SetBool(r, book.saved); });
  AddGetter(L"Windows", 0x1AE, [this](VARIANT* r) { SetDispatch(r, windows_.Get()); });
  Add(L"Activate", 0x130, [this](WORD, const std::vector<VARIANT*>&, VARIANT*) {
    ++activations_;
    return S_OK;
  });
}

FakeApplication::FakeApplication(HWND main_window)
    : FakeApplication(main_window, {{L"Book1", L"Book1", true}}, 0) {}

FakeApplication::FakeApplication(HWND main_window, const std::vector<TestWorkbook>& workbooks,
                                 std::size_t active)
    : FakeDispatch("Application"), main_window_(main_window) {
  std::vector<std::pair<std::wstring, ComPtr<FakeWorkbook>>> all;
  for (const auto& book : workbooks) {
    all.emplace_back(book.name, ComPtr<FakeWorkbook>::Adopt(new FakeWorkbook(book)));
  }
  workbook_ = all.at(active).second;
  workbooks_ = ComPtr<IDispatch>::Adopt(new FakeCollection<FakeWorkbook>("Workbooks", all));
  sheet_ = ComPtr<IDispatch>::Adopt(new FakeSheet(workbook_.Get()));
  connection_point_ = ComPtr<IConnectionPoint>::Adopt(new FakeConnectionPoint(this));

  // Excel answers 32-bit handles, even in its 64-bit build.
  AddGetter(L"Hwnd", 0x79E, [this](VARIANT* r) {
    SetInt(r, static_cast<LONG>(reinterpret_cast<LONG_PTR>(main_window_)));
  });
  AddGetter(L"Hinstance", 0x79F, [](VARIANT* r) {
    SetInt(r, static_cast<LONG>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))));
  });
  AddGetter(L"Version", 0x188, [](VARIANT* r) { SetString(r, L"12.0"); });
  AddGetter(L"Visible", 0x22E, [](VARIANT* r) { SetBool(r, true); });
  AddGetter(L"Ready", 0x78C, [](VARIANT* r) { SetBool(r, true); });
  AddGetter(L"DisplayFormulaBar", 0x158, [](VARIANT* r) { SetBool(r, true); });
  auto flag = [](bool& field) {
    return [&field](WORD flags, const std::vector<VARIANT*>& args, VARIANT* r) {
      if (flags & DISPATCH_PROPERTYPUT) {
        VARIANT value;
        VariantInit(&value);
        if (args.size() != 1 || FAILED(VariantChangeType(&value, args[0], 0, VT_BOOL))) {
          return DISP_E_TYPEMISMATCH;
        }
        field = value.boolVal != VARIANT_FALSE;
        return S_OK;
      }
      if (r) SetBool(r, field);
      return S_OK;
    };
  };
  Add(L"ShowWindowsInTaskbar", 0x70F, flag(show_in_taskbar_));
  Add(L"ScreenUpdating", 0x17E, flag(screen_updating_));
  AddGetter(L"Workbooks", 0x23C, [this](VARIANT* r) { SetDispatch(r, workbooks_.Get()); });
  AddGetter(L"ActiveWorkbook", 0x134, [this](VARIANT* r) { SetDispatch(r, workbook_.Get()); });
  command_bars_ = ComPtr<FakeCommandBars>::Adopt(new FakeCommandBars());
  AddGetter(L"CommandBars", 0x59F, [this](VARIANT* r) { SetDispatch(r, command_bars_.Get()); });
}

void* FakeApplication::QueryOther(REFIID iid) {
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

HRESULT FakeApplication::EnumConnectionPoints(IEnumConnectionPoints** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT FakeApplication::FindConnectionPoint(REFIID iid, IConnectionPoint** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != kDiidAppEvents) return CONNECT_E_NOCONNECTION;
  return connection_point_.CopyTo(out);
}

// Excel asks the sink for the event interface itself, and calls it through IDispatch.
HRESULT FakeApplication::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(kDiidAppEvents, events.PutVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  if (refuse_advise) return CONNECT_E_ADVISELIMIT;
  *cookie = next_cookie_++;
  sinks_[*cookie] = std::move(events);
  return S_OK;
}

HRESULT FakeApplication::Unadvise(DWORD cookie) {
  return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT FakeApplication::Fire(DISPID event, std::vector<VARIANT> args) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  HRESULT hr = S_OK;
  // A copy: a handler may disconnect while the event is raised.
  auto sinks = sinks_;
  for (auto& [cookie, sink] : sinks) {
    hr = sink->Invoke(event, IID_NULL, 1033, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  return hr;
}

ComPtr<IDispatch> NewNamedObject(const wchar_t* kind) {
  class Named final : public FakeDispatch {
   public:
    explicit Named(const wchar_t* kind) : FakeDispatch(Narrow(kind)) {}
  };
  return ComPtr<IDispatch>::Adopt(new Named(kind));
}

}  // namespace wine_test
