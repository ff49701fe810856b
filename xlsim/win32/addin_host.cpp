// Add-ins connected as Excel connects them, and their ribbons.
#include "xlsim/win32/addin_host.h"

#include <algorithm>
#include <cstdio>

#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Excel\\Addins";
constexpr DWORD kLoadAtStartup = 3;
// Excel's ribbon id for its workbook window.
constexpr wchar_t kRibbonId[] = L"Microsoft.Excel.Workbook";

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

double VersionNumber(const std::string& version) {
  return std::strtod(version.c_str(), nullptr);
}

// An empty SAFEARRAY of VARIANTs, as Office passes `custom`.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() {
    if (array_) SafeArrayDestroy(array_);
  }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** Get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

class RibbonUi final : public Automation<RibbonUi, IRibbonUI> {
 public:
  explicit RibbonUi(AddinHost& host) : host_(&host) {}
  static const std::vector<Member<RibbonUi>> kMembers;
  void Forget() { host_ = nullptr; }

  HRESULT STDMETHODCALLTYPE Invalidate() override {
    if (host_) host_->Invalidate();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR) override { return Invalidate(); }
  HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return S_OK; }

  void CallInvalidate(Call&) { Invalidate(); }
  void Nothing(Call&) {}

 private:
  AddinHost* host_;
};

const std::vector<Member<RibbonUi>> RibbonUi::kMembers = {
    {L"Invalidate", 1, &RibbonUi::CallInvalidate},
    {L"InvalidateControl", 2, &RibbonUi::CallInvalidate, L"ControlID"},
    {L"InvalidateControlMso", 3, &RibbonUi::Nothing, L"ControlID"},
    {L"ActivateTab", 4, &RibbonUi::Nothing, L"ControlID"},
    {L"ActivateTabMso", 5, &RibbonUi::Nothing, L"ControlID"},
    {L"ActivateTabQ", 6, &RibbonUi::Nothing, L"ControlID Namespace"},
};

class RibbonControl final : public Automation<RibbonControl, IRibbonControl> {
 public:
  RibbonControl(std::wstring id, Link link) : id_(std::move(id)), link_(std::move(link)) {}
  static const std::vector<Member<RibbonControl>> kMembers;

  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override {
    if (!id) return E_POINTER;
    *id = SysAllocString(id_.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
    if (!context) return E_POINTER;
    *context = nullptr;
    // The window the ribbon belongs to.
    if (!link_->excel) return S_OK;
    auto window = link_->excel->Model().ActiveWindow();
    if (window) *context = link_->excel->WindowObject(window).Detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override {
    if (!tag) return E_POINTER;
    *tag = SysAllocString(L"");
    return S_OK;
  }
  void Id(Call& call) { call.Return(std::wstring_view(id_)); }
  void Context(Call& call) {
    IDispatch* context = nullptr;
    get_Context(&context);
    call.Return(context);
    if (context) context->Release();
  }
  void Tag(Call& call) { call.Return(std::wstring_view(L"")); }

 private:
  std::wstring id_;
  Link link_;
};

const std::vector<Member<RibbonControl>> RibbonControl::kMembers = {
    {L"Id", 1, &RibbonControl::Id},
    {L"Context", 2, &RibbonControl::Context},
    {L"Tag", 3, &RibbonControl::Tag},
};

// The COMAddIn object that Office passes as OnConnection's AddInInst.
class ComAddIn final : public Automation<ComAddIn> {
 public:
  ComAddIn(std::wstring prog_id, Link link)
      : prog_id_(std::move(prog_id)), link_(std::move(link)) {}
  static const std::vector<Member<ComAddIn>> kMembers;

  void ProgId(Call& call) { call.Return(std::wstring_view(prog_id_)); }
  void Description(Call& call) { call.Return(std::wstring_view(prog_id_)); }
  void Connect(Call& call) { call.Return(true); }
  void Application(Call& call) { call.Return(Linked(link_).Application()); }

 private:
  std::wstring prog_id_;
  Link link_;
};

const std::vector<Member<ComAddIn>> ComAddIn::kMembers = {
    {L"ProgId", 3, &ComAddIn::ProgId},
    {L"Description", 0, &ComAddIn::Description},
    {L"Connect", 6, &ComAddIn::Connect},
    {L"Application", 0x60020000, &ComAddIn::Application},
};

// The add-ins to load at start-up under one root, each once: a machine-wide add-in that the user
// also has is the user's.
void AddRegisteredAddins(HKEY root, std::vector<std::wstring>& found) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kAddinsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    DWORD behavior = 0;
    DWORD size = sizeof(behavior);
    if (RegGetValueW(key, name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior, &size) ==
            ERROR_SUCCESS &&
        behavior == kLoadAtStartup &&
        std::none_of(found.begin(), found.end(), [&](const std::wstring& known) {
          return _wcsicmp(known.c_str(), name) == 0;
        })) {
      found.emplace_back(name);
    }
  }
  RegCloseKey(key);
}

// Excel loads the add-ins of the current user and those installed for every user of the machine
// (in the registry view of its own bitness).
std::vector<std::wstring> RegisteredAddins() {
  std::vector<std::wstring> found;
  AddRegisteredAddins(HKEY_CURRENT_USER, found);
  AddRegisteredAddins(HKEY_LOCAL_MACHINE, found);
  return found;
}

}  // namespace

AddinHost::AddinHost(Excel& excel, std::function<void(const std::string&)> report)
    : excel_(excel), report_(std::move(report)) {}

AddinHost::~AddinHost() {
  ShutDown();
}

void AddinHost::LoadRegistered() {
  for (const std::wstring& prog_id : RegisteredAddins()) {
    CLSID clsid{};
    const std::string name = Utf8(prog_id);
    HRESULT hr = CLSIDFromProgID(prog_id.c_str(), &clsid);
    ComPtr<IUnknown> object;
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid());
    }
    if (FAILED(hr)) {
      report_("Excel could not load the add-in " + name + ": " + Hex(hr));
      continue;
    }
    Loaded loaded;
    loaded.prog_id = name;
    loaded.addin = object.As<IDTExtensibility2>();
    if (!loaded.addin) {
      report_("the add-in " + name + " is no COM add-in: it lacks IDTExtensibility2");
      continue;
    }
    loaded_.push_back(std::move(loaded));
  }
}

std::optional<std::string> AddinHost::Connect(int mode) {
  if (loaded_.empty()) LoadRegistered();
  if (loaded_.empty()) return "no add-in is registered for Excel to load";
  for (Loaded& loaded : loaded_) {
    const ComPtr<IDispatch> instance =
        ComPtr<IDispatch>::Adopt(new ComAddIn(Wide(loaded.prog_id), excel_.GetLink()));
    CustomArray custom;
    const HRESULT hr =
        loaded.addin->OnConnection(excel_.Application(), mode, instance.Get(), custom.Get());
    if (FAILED(hr)) report_("OnConnection of " + loaded.prog_id + " failed: " + Hex(hr));
    if (mode != kConnectExternal && VersionNumber(excel_.Model().version) >= 12) LoadRibbon(loaded);
  }
  return std::nullopt;
}

void AddinHost::LoadRibbon(Loaded& loaded) {
  const auto ribbon = loaded.addin.As<IRibbonExtensibility>();
  loaded.markup.reset();
  if (!ribbon) return;
  BSTR xml = nullptr;
  BSTR id = SysAllocString(kRibbonId);
  const HRESULT hr = ribbon->GetCustomUI(id, &xml);
  SysFreeString(id);
  const std::wstring markup(xml ? xml : L"", SysStringLen(xml));
  SysFreeString(xml);
  if (FAILED(hr)) {
    report_("GetCustomUI of " + loaded.prog_id + " failed: " + Hex(hr));
    return;
  }
  loaded.markup = Utf8(markup);
  if (markup.empty()) return;
  const auto elements = ParseMarkup(*loaded.markup);
  if (!elements) {
    report_("the ribbon markup of " + loaded.prog_id + " is not well formed");
    return;
  }
  // Office calls the callbacks on the object that gave it the markup.
  loaded.callbacks = ComPtr<IDispatch>(static_cast<IDispatch*>(ribbon.Get()));
  loaded.ribbon = FindRibbonCallbacks(*elements);
  const auto call = [&](const std::string& name, std::vector<VARIANT> args, VARIANT* result) {
    const HRESULT hr = CallByName(loaded.callbacks.Get(), Wide(name), std::move(args), result);
    if (FAILED(hr)) report_("the ribbon callback " + name + " failed: " + Hex(hr));
    return hr;
  };
  if (!loaded.ribbon.on_load.empty()) {
    if (!ribbon_ui_) ribbon_ui_ = ComPtr<IDispatch>::Adopt(new RibbonUi(*this));
    call(loaded.ribbon.on_load, {ObjectArgument(ribbon_ui_.Get())}, nullptr);
  }
  if (!loaded.ribbon.load_image.empty()) {
    for (const std::string& image : loaded.ribbon.images) {
      BSTR text = SysAllocString(Wide(image).c_str());
      VARIANT picture;
      VariantInit(&picture);
      call(loaded.ribbon.load_image, {TextArgument(text)}, &picture);
      VariantClear(&picture);
      SysFreeString(text);
    }
  }
  loaded.pressed.clear();
  for (const auto& box : loaded.ribbon.check_boxes) {
    if (auto pressed = AskPressed(loaded, box)) loaded.pressed[box.id] = *pressed;
  }
  invalid_ = false;
}

std::optional<bool> AddinHost::AskPressed(Loaded& loaded, const RibbonCallbacks::CheckBox& box) {
  if (box.get_pressed.empty()) return std::nullopt;
  const ComPtr<IDispatch> control =
      ComPtr<IDispatch>::Adopt(new RibbonControl(Wide(box.id), excel_.GetLink()));
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = CallByName(loaded.callbacks.Get(), Wide(box.get_pressed),
                                {ObjectArgument(control.Get())}, &result);
  std::optional<bool> pressed;
  VARIANT flag;
  VariantInit(&flag);
  if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&flag, &result, 0, VT_BOOL))) {
    pressed = flag.boolVal != VARIANT_FALSE;
  } else {
    report_("the ribbon callback " + box.get_pressed +
            " failed: " + Hex(FAILED(hr) ? hr : DISP_E_TYPEMISMATCH));
  }
  VariantClear(&result);
  return pressed;
}

AddinHost::Loaded* AddinHost::WithRibbon() {
  for (Loaded& loaded : loaded_) {
    if (loaded.markup && !loaded.markup->empty()) return &loaded;
  }
  return nullptr;
}

std::optional<std::string> AddinHost::RibbonMarkup() const {
  for (const Loaded& loaded : loaded_) {
    if (loaded.markup) return loaded.markup;
  }
  return std::nullopt;
}

std::optional<bool> AddinHost::RibbonPressed() {
  Loaded* loaded = WithRibbon();
  if (!loaded || loaded->ribbon.check_boxes.empty()) return std::nullopt;
  const auto& box = loaded->ribbon.check_boxes.front();
  if (invalid_ || !loaded->pressed.count(box.id)) {
    invalid_ = false;
    if (auto pressed = AskPressed(*loaded, box)) loaded->pressed[box.id] = *pressed;
  }
  const auto found = loaded->pressed.find(box.id);
  if (found == loaded->pressed.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> AddinHost::RibbonToggle(bool pressed) {
  Loaded* loaded = WithRibbon();
  if (!loaded || loaded->ribbon.check_boxes.empty()) return "the ribbon has no check box";
  const auto& box = loaded->ribbon.check_boxes.front();
  if (box.on_action.empty()) return "the ribbon's check box has no onAction";
  loaded->pressed[box.id] = pressed;
  const ComPtr<IDispatch> control =
      ComPtr<IDispatch>::Adopt(new RibbonControl(Wide(box.id), excel_.GetLink()));
  VARIANT_BOOL flag = pressed ? VARIANT_TRUE : VARIANT_FALSE;
  const HRESULT hr = CallByName(loaded->callbacks.Get(), Wide(box.on_action),
                                {ObjectArgument(control.Get()), ByRefBoolArgument(&flag)});
  if (FAILED(hr)) report_("the ribbon callback " + box.on_action + " failed: " + Hex(hr));
  return std::nullopt;
}

std::optional<std::string> AddinHost::RibbonClick(std::string_view label) {
  Loaded* loaded = WithRibbon();
  if (!loaded) return "Excel shows no ribbon of an add-in";
  for (const auto& button : loaded->ribbon.buttons) {
    if (button.label != label) continue;
    if (button.on_action.empty()) return "the ribbon's " + button.label + " has no onAction";
    const ComPtr<IDispatch> control =
        ComPtr<IDispatch>::Adopt(new RibbonControl(Wide(button.id), excel_.GetLink()));
    const HRESULT hr = CallByName(loaded->callbacks.Get(), Wide(button.on_action),
                                  {ObjectArgument(control.Get())});
    if (FAILED(hr)) report_("the ribbon callback " + button.on_action + " failed: " + Hex(hr));
    return std::nullopt;
  }
  return "the ribbon has no button " + std::string(label);
}

void AddinHost::Disconnect() {
  for (Loaded& loaded : loaded_) {
    CustomArray custom;
    const HRESULT hr = loaded.addin->OnDisconnection(kDisconnectUserClosed, custom.Get());
    if (FAILED(hr)) report_("OnDisconnection of " + loaded.prog_id + " failed: " + Hex(hr));
  }
  loaded_.clear();
}

void AddinHost::ShutDown() {
  for (Loaded& loaded : loaded_) {
    CustomArray custom;
    loaded.addin->OnDisconnection(kDisconnectHostShutdown, custom.Get());
  }
  loaded_.clear();
  if (ribbon_ui_) {
    static_cast<RibbonUi*>(static_cast<IRibbonUI*>(ribbon_ui_.Get()))->Forget();
    ribbon_ui_.Reset();
  }
}

}  // namespace vestrano::xlsim::win32
