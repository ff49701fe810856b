// The workbook side of Excel's object model.
#include "xlsim/win32/excel_objects.h"

#include "xlsim/win32/event_source.h"
#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

// DISPIDs shared by many of Excel's objects.
constexpr DISPID kDispidApplication = 0x94;
constexpr DISPID kDispidCreator = 0x95;
constexpr DISPID kDispidParent = 0x96;
constexpr DISPID kDispidName = 0x6E;
constexpr DISPID kDispidCount = 0x76;
constexpr DISPID kDispidItem = 0xAA;
constexpr DISPID kDispidIndex = 0x1E6;
constexpr DISPID kDispidVisible = 0x22E;
constexpr DISPID kDispidActivate = 0x130;
constexpr DISPID kDispidWindows = 0x1AE;
constexpr DISPID kDispidCaption = 0x8B;
constexpr DISPID kDispidActiveSheet = 0x133;
constexpr LONG kCreatorExcel = 0x5843454C;  // 'XCEL'
constexpr LONG kWindowMaximized = -4137;

double VersionNumber(const ExcelModel& model) {
  return std::wcstod(Wide(model.version).c_str(), nullptr);
}

// A member common to all: the Application object.
template <typename Object>
void ReturnApplication(Object& object, Call& call) {
  call.Return(Linked(object.link).Application());
}

// Collection items by 1-based index or by name, as Excel's Item takes them.
template <typename Item, typename Name>
const Item* ItemOf(const std::vector<Item>& items, const VARIANT* index, Name name) {
  if (!index) throw TypeMismatch();
  VARIANT number;
  VariantInit(&number);
  if (index->vt != VT_BSTR && index->vt != (VT_BSTR | VT_BYREF) &&
      SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(index), 0, VT_I4))) {
    if (number.lVal < 1 || number.lVal > static_cast<LONG>(items.size())) {
      throw SubscriptOutOfRange();
    }
    return &items[static_cast<std::size_t>(number.lVal - 1)];
  }
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(index), 0, VT_BSTR))) {
    throw TypeMismatch();
  }
  const std::string wanted = Utf8({text.bstrVal, SysStringLen(text.bstrVal)});
  VariantClear(&text);
  for (const Item& item : items) {
    if (SameName(name(item), wanted)) return &item;
  }
  throw SubscriptOutOfRange();
}

class WorkbookObject;

class ApplicationObject final : public Automation<ApplicationObject>,
                                public IConnectionPointContainer,
                                public ApplicationEvents {
 public:
  explicit ApplicationObject(Link link) : link(std::move(link)) {
    source_ = ComPtr<EventSource>::Adopt(new EventSource(kDiidAppEvents, this));
  }
  ~ApplicationObject() override { source_->Detach(); }

  static const std::vector<Member<ApplicationObject>> kMembers;
  Link link;

  void* Other(REFIID iid) {
    if (iid == kIidApplication) return static_cast<IDispatch*>(this);
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    return Automation::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Automation::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Automation::Release(); }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** out) noexcept override {
    return FindOnePoint(source_.Get(), kDiidAppEvents, iid, out);
  }
  void FireEvent(DISPID event, const std::vector<VARIANT>& args) override {
    source_->Fire(event, args);
  }

  void Name(Call& call) { call.Return(std::wstring_view(L"Microsoft Excel")); }
  void Hwnd(Call& call) {
    // Excel answers a 32-bit handle, in its 64-bit build too.
    call.Return(static_cast<LONG>(reinterpret_cast<LONG_PTR>(Linked(link).Windows().Main())));
  }
  void Hinstance(Call& call) {
    call.Return(static_cast<LONG>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))));
  }
  void HinstancePtr(Call& call) {
    // Since Excel 2010: the whole handle, which a 32-bit LONG cannot hold in 64-bit Excel.
    if (VersionNumber(Linked(link).Model()) < 14) throw AutomationError{DISP_E_MEMBERNOTFOUND, L""};
    VARIANT value;
    VariantInit(&value);
#ifdef _WIN64
    value.vt = VT_I8;
    value.llVal = reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr));
#else
    value.vt = VT_I4;
    value.lVal = reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr));
#endif
    call.ReturnVariant(value);
  }
  void Version(Call& call) {
    call.Return(std::wstring_view(Wide(Linked(link).Model().version)));
  }
  void Visible(Call& call) {
    Excel& excel = Linked(link);
    if (call.Putting()) {
      excel.Model().visible = call.BoolValue();
      excel.Windows().ShowMain(excel.Model().visible);
      return;
    }
    call.Return(excel.Model().visible);
  }
  void Ready(Call& call) {
    call.Return(Linked(link).Model().Ready());
  }
  void DisplayFormulaBar(Call& call) {
    Excel& excel = Linked(link);
    if (call.Putting()) {
      excel.Model().display_formula_bar = call.BoolValue();
      excel.Windows().ShowFormulaBar(excel.Model().display_formula_bar);
      return;
    }
    call.Return(excel.Model().display_formula_bar);
  }
  void ShowWindowsInTaskbar(Call& call) {
    Flag(call, Linked(link).Model().show_windows_in_taskbar);
  }
  void ScreenUpdating(Call& call) {
    Flag(call, Linked(link).Model().screen_updating);
  }
  void EnableEvents(Call& call) {
    Flag(call, Linked(link).enable_events);
  }
  void Interactive(Call& call) {
    Flag(call, interactive_);
  }
  void Caption(Call& call) {
    if (call.Putting()) {
      caption_ = call.TextValue();
      return;
    }
    call.Return(std::wstring_view(caption_));
  }
  void Workbooks(Call& call);
  void ActiveWorkbook(Call& call) {
    Excel& excel = Linked(link);
    auto workbook = excel.Model().ActiveWorkbook();
    call.Return(workbook ? excel.WorkbookObject(workbook).Get() : nullptr);
  }
  void ActiveWindow(Call& call) {
    Excel& excel = Linked(link);
    auto window = excel.Model().ActiveWindow();
    call.Return(window ? excel.WindowObject(window).Get() : nullptr);
  }
  void ActiveSheet(Call& call) {
    Excel& excel = Linked(link);
    auto workbook = excel.Model().ActiveWorkbook();
    call.Return(workbook ? excel.SheetObject(workbook).Get() : nullptr);
  }
  void Windows(Call& call);
  void CommandBars(Call& call) {
    call.Return(Linked(link).CommandBarsObject().Get());
  }
  void Self(Call& call) {
    call.Return(static_cast<IDispatch*>(this));
  }
  void Creator(Call& call) {
    call.Return(kCreatorExcel);
  }

 private:
  static void Flag(Call& call, bool& field) {
    if (call.Putting()) {
      field = call.BoolValue();
      return;
    }
    call.Return(field);
  }

  ComPtr<EventSource> source_;
  bool interactive_ = true;
  std::wstring caption_ = L"Microsoft Excel";
};

const std::vector<Member<ApplicationObject>> ApplicationObject::kMembers = {
    {L"Name", kDispidName, &ApplicationObject::Name},
    {L"Hwnd", 0x79E, &ApplicationObject::Hwnd},
    {L"Hinstance", 0x79F, &ApplicationObject::Hinstance},
    {L"HinstancePtr", 0xAE3, &ApplicationObject::HinstancePtr},
    {L"Version", 0x188, &ApplicationObject::Version},
    {L"Visible", kDispidVisible, &ApplicationObject::Visible},
    {L"Ready", 0x78C, &ApplicationObject::Ready},
    {L"DisplayFormulaBar", 0x158, &ApplicationObject::DisplayFormulaBar},
    {L"ShowWindowsInTaskbar", 0x70F, &ApplicationObject::ShowWindowsInTaskbar},
    {L"ScreenUpdating", 0x17E, &ApplicationObject::ScreenUpdating},
    {L"EnableEvents", 0x4BC, &ApplicationObject::EnableEvents},
    {L"Interactive", 0x169, &ApplicationObject::Interactive},
    {L"Caption", kDispidCaption, &ApplicationObject::Caption},
    {L"Workbooks", 0x23C, &ApplicationObject::Workbooks},
    {L"ActiveWorkbook", 0x134, &ApplicationObject::ActiveWorkbook},
    {L"ActiveWindow", 0x2F7, &ApplicationObject::ActiveWindow},
    {L"ActiveSheet", kDispidActiveSheet, &ApplicationObject::ActiveSheet},
    {L"Windows", kDispidWindows, &ApplicationObject::Windows},
    {L"CommandBars", 0x59F, &ApplicationObject::CommandBars},
    {L"Application", kDispidApplication, &ApplicationObject::Self},
    {L"Parent", kDispidParent, &ApplicationObject::Self},
    {L"Creator", kDispidCreator, &ApplicationObject::Creator},
};

class WindowObject final : public Automation<WindowObject> {
 public:
  WindowObject(Link link, const WindowRef& window) : link(std::move(link)), window_(window) {}
  static const std::vector<Member<WindowObject>> kMembers;
  Link link;

  WindowRef Get() const {
    auto window = window_.lock();
    if (!window || !window->workbook || !window->workbook->open) throw Disconnected();
    return window;
  }
  void Visible(Call& call) {
    if (call.Putting()) throw Refused(L"xlsim does not hide single windows");
    call.Return(Get()->visible);
  }
  void Activate(Call& call) {
    if (!Linked(link).Model().ActivateWindow(Get())) {
      throw Refused(L"Activate method of Window class failed");
    }
    call.Return(true);
  }
  void Caption(Call& call) {
    call.Return(std::wstring_view(Wide(Linked(link).Model().CaptionOf(*Get()))));
  }
  void WindowState(Call& call) {
    Get();
    call.Return(kWindowMaximized);
  }
  void Index(Call& call) {
    const auto window = Get();
    const auto entries = Linked(link).Model().WindowEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].window == window) return call.Return(static_cast<LONG>(i + 1));
    }
    throw Refused(L"the window is hidden");
  }
  void Parent(Call& call) {
    Excel& excel = Linked(link);
    auto workbook = Get()->owner.lock();
    call.Return(workbook ? excel.WorkbookObject(workbook).Get() : nullptr);
  }
  void Application(Call& call) { ReturnApplication(*this, call); }

 private:
  std::weak_ptr<Window> window_;
};

const std::vector<Member<WindowObject>> WindowObject::kMembers = {
    {L"Visible", kDispidVisible, &WindowObject::Visible},
    {L"Activate", kDispidActivate, &WindowObject::Activate},
    {L"Caption", kDispidCaption, &WindowObject::Caption},
    {L"WindowState", 0x18C, &WindowObject::WindowState},
    {L"Index", kDispidIndex, &WindowObject::Index},
    {L"Parent", kDispidParent, &WindowObject::Parent},
    {L"Application", kDispidApplication, &WindowObject::Application},
};

// Windows of one workbook, or of all workbooks (Application.Windows: the visible ones, in the
// Window menu's order).
class WindowsObject final : public Automation<WindowsObject> {
 public:
  WindowsObject(Link link, const WorkbookRef& workbook)
      : link(std::move(link)), workbook_(workbook), all_(!workbook) {}
  static const std::vector<Member<WindowsObject>> kMembers;
  Link link;

  std::vector<WindowRef> Items() const {
    Excel& excel = Linked(link);
    std::vector<WindowRef> items;
    if (all_) {
      for (const auto& entry : excel.Model().WindowEntries()) items.push_back(entry.window);
      return items;
    }
    auto workbook = workbook_.lock();
    if (!workbook || !workbook->open) throw Disconnected();
    return workbook->windows;
  }
  void Count(Call& call) { call.Return(static_cast<LONG>(Items().size())); }
  void Item(Call& call) {
    Excel& excel = Linked(link);
    const auto items = Items();
    const WindowRef* found = ItemOf(items, call.Arg(0), [&](const WindowRef& window) {
      return excel.Model().CaptionOf(*window);
    });
    call.Return(excel.WindowObject(*found).Get());
  }
  void NewEnum(Call& call) {
    Excel& excel = Linked(link);
    std::vector<ComPtr<IDispatch>> objects;
    for (const auto& window : Items()) objects.push_back(excel.WindowObject(window));
    call.ReturnUnknown(NewEnumerator(std::move(objects)).Get());
  }
  void Application(Call& call) { ReturnApplication(*this, call); }

 private:
  std::weak_ptr<Workbook> workbook_;
  bool all_;
};

const std::vector<Member<WindowsObject>> WindowsObject::kMembers = {
    {L"Count", kDispidCount, &WindowsObject::Count},
    {L"Item", kDispidItem, &WindowsObject::Item, L"Index"},
    {L"_Default", DISPID_VALUE, &WindowsObject::Item, L"Index"},
    {L"_NewEnum", DISPID_NEWENUM, &WindowsObject::NewEnum},
    {L"Application", kDispidApplication, &WindowsObject::Application},
};

class WorkbookObject final : public Automation<WorkbookObject> {
 public:
  WorkbookObject(Link link, const WorkbookRef& workbook)
      : link(std::move(link)), workbook_(workbook) {}
  static const std::vector<Member<WorkbookObject>> kMembers;
  Link link;

  WorkbookRef Get() const {
    auto workbook = workbook_.lock();
    if (!workbook || !workbook->open) throw Disconnected();
    return workbook;
  }
  void Name(Call& call) { call.Return(std::wstring_view(Wide(Get()->name))); }
  void FullName(Call& call) { call.Return(std::wstring_view(Wide(Get()->full_name))); }
  void Path(Call& call) {
    const auto workbook = Get();
    const std::string& full = workbook->full_name;
    const auto slash = full.rfind('\\');
    const bool never_saved = workbook->name == full;
    call.Return(std::wstring_view(
        never_saved || slash == std::string::npos ? std::wstring() : Wide(full.substr(0, slash))));
  }
  void Saved(Call& call) {
    const auto workbook = Get();
    if (call.Putting()) {
      workbook->saved = call.BoolValue();
      return;
    }
    call.Return(workbook->saved);
  }
  void Windows(Call& call) {
    call.Return(ComPtr<IDispatch>::Adopt(new WindowsObject(link, Get())).Get());
  }
  void Activate(Call& call) {
    if (!Linked(link).Model().ActivateWorkbook(Get())) {
      throw Refused(L"Activate method of Workbook class failed");
    }
    call.Return(true);
  }
  void IsAddin(Call& call) {
    Get();
    call.Return(false);
  }
  void ActiveSheet(Call& call) { call.Return(Linked(link).SheetObject(Get()).Get()); }
  void Application(Call& call) { ReturnApplication(*this, call); }

 private:
  std::weak_ptr<Workbook> workbook_;
};

const std::vector<Member<WorkbookObject>> WorkbookObject::kMembers = {
    {L"Name", kDispidName, &WorkbookObject::Name},
    {L"FullName", 0x121, &WorkbookObject::FullName},
    {L"Path", 0x123, &WorkbookObject::Path},
    {L"Saved", 0x12A, &WorkbookObject::Saved},
    {L"Windows", kDispidWindows, &WorkbookObject::Windows},
    {L"Activate", kDispidActivate, &WorkbookObject::Activate},
    {L"IsAddin", 0x5A5, &WorkbookObject::IsAddin},
    {L"ActiveSheet", kDispidActiveSheet, &WorkbookObject::ActiveSheet},
    {L"Application", kDispidApplication, &WorkbookObject::Application},
    {L"Parent", kDispidParent, &WorkbookObject::Application},
};

class WorkbooksObject final : public Automation<WorkbooksObject> {
 public:
  explicit WorkbooksObject(Link link) : link(std::move(link)) {}
  static const std::vector<Member<WorkbooksObject>> kMembers;
  Link link;

  void Count(Call& call) {
    call.Return(static_cast<LONG>(Linked(link).Model().Workbooks().size()));
  }
  void Item(Call& call) {
    Excel& excel = Linked(link);
    const WorkbookRef* found = ItemOf(excel.Model().Workbooks(), call.Arg(0),
                                      [](const WorkbookRef& workbook) { return workbook->name; });
    call.Return(excel.WorkbookObject(*found).Get());
  }
  void NewEnum(Call& call) {
    Excel& excel = Linked(link);
    std::vector<ComPtr<IDispatch>> objects;
    for (const auto& workbook : excel.Model().Workbooks()) {
      objects.push_back(excel.WorkbookObject(workbook));
    }
    call.ReturnUnknown(NewEnumerator(std::move(objects)).Get());
  }
  void Application(Call& call) { ReturnApplication(*this, call); }
};

const std::vector<Member<WorkbooksObject>> WorkbooksObject::kMembers = {
    {L"Count", kDispidCount, &WorkbooksObject::Count},
    {L"Item", kDispidItem, &WorkbooksObject::Item, L"Index"},
    {L"_Default", DISPID_VALUE, &WorkbooksObject::Item, L"Index"},
    {L"_NewEnum", DISPID_NEWENUM, &WorkbooksObject::NewEnum},
    {L"Application", kDispidApplication, &WorkbooksObject::Application},
    {L"Parent", kDispidParent, &WorkbooksObject::Application},
};

// A workbook's one worksheet, "Sheet1".
class SheetObject final : public Automation<SheetObject> {
 public:
  SheetObject(Link link, const WorkbookRef& workbook)
      : link(std::move(link)), workbook_(workbook) {}
  static const std::vector<Member<SheetObject>> kMembers;
  Link link;

  WorkbookRef Get() const {
    auto workbook = workbook_.lock();
    if (!workbook || !workbook->open) throw Disconnected();
    return workbook;
  }
  void Name(Call& call) {
    Get();
    call.Return(std::wstring_view(L"Sheet1"));
  }
  void Index(Call& call) {
    Get();
    call.Return(LONG{1});
  }
  void Parent(Call& call) { call.Return(Linked(link).WorkbookObject(Get()).Get()); }
  void Application(Call& call) { ReturnApplication(*this, call); }

 private:
  std::weak_ptr<Workbook> workbook_;
};

const std::vector<Member<SheetObject>> SheetObject::kMembers = {
    {L"Name", kDispidName, &SheetObject::Name},
    {L"Index", kDispidIndex, &SheetObject::Index},
    {L"Parent", kDispidParent, &SheetObject::Parent},
    {L"Application", kDispidApplication, &SheetObject::Application},
};

// The cell that a selection change names.
class RangeObject final : public Automation<RangeObject> {
 public:
  RangeObject(Link link, const WorkbookRef& workbook)
      : link(std::move(link)), workbook_(workbook) {}
  static const std::vector<Member<RangeObject>> kMembers;
  Link link;

  void Address(Call& call) { call.Return(std::wstring_view(L"$A$1")); }
  void Parent(Call& call) {
    auto workbook = workbook_.lock();
    if (!workbook || !workbook->open) throw Disconnected();
    call.Return(Linked(link).SheetObject(workbook).Get());
  }
  void Application(Call& call) { ReturnApplication(*this, call); }

 private:
  std::weak_ptr<Workbook> workbook_;
};

const std::vector<Member<RangeObject>> RangeObject::kMembers = {
    {L"Address", 0xEC, &RangeObject::Address},
    {L"Parent", kDispidParent, &RangeObject::Parent},
    {L"Application", kDispidApplication, &RangeObject::Application},
};

void ApplicationObject::Workbooks(Call& call) {
  call.Return(ComPtr<IDispatch>::Adopt(new WorkbooksObject(link)).Get());
}

void ApplicationObject::Windows(Call& call) {
  call.Return(ComPtr<IDispatch>::Adopt(new WindowsObject(link, nullptr)).Get());
}

}  // namespace

ComPtr<IDispatch> NewApplication(const Link& link, ApplicationEvents** events) {
  auto* application = new ApplicationObject(link);
  if (events) *events = application;
  return ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(application));
}

ComPtr<IDispatch> NewWorkbookObject(const Link& link, const WorkbookRef& workbook) {
  return ComPtr<IDispatch>::Adopt(new WorkbookObject(link, workbook));
}

ComPtr<IDispatch> NewWindowObject(const Link& link, const WindowRef& window) {
  return ComPtr<IDispatch>::Adopt(new WindowObject(link, window));
}

ComPtr<IDispatch> NewSheetObject(const Link& link, const WorkbookRef& workbook) {
  return ComPtr<IDispatch>::Adopt(new SheetObject(link, workbook));
}

ComPtr<IDispatch> NewRangeObject(const Link& link, const WorkbookRef& workbook) {
  return ComPtr<IDispatch>::Adopt(new RangeObject(link, workbook));
}

}  // namespace vestrano::xlsim::win32
