// Excel's Application object through IDispatch. Hwnd and Hinstance are 32-bit properties even in
// 64-bit Excel: a window handle is sign-extended back (only its low 32 bits are significant), and
// 64-bit Excel's full instance handle comes from HinstancePtr where Excel has it.
#include "host/win32/win32_excel.h"

#include "host/win32/dispatch_call.h"
#include "host/win32/win32_app_events.h"
#include "host/win32/win32_command_bars.h"

namespace vestrano::win32 {
namespace {

DispatchNames& ApplicationNames() {
  static DispatchNames names;
  return names;
}

class Win32Application final : public host::IApplication {
 public:
  explicit Win32Application(ComPtr<IDispatch> application)
      : object_(std::move(application), ApplicationNames()) {}

  std::optional<vestrano::Hwnd> Hwnd() override {
    auto value = object_.GetInt(L"Hwnd");
    if (!value) return std::nullopt;
    return vestrano::Hwnd{static_cast<std::uintptr_t>(static_cast<INT_PTR>(*value))};
  }

  std::optional<std::uintptr_t> Hinstance() override {
#ifdef _WIN64
    if (auto full = object_.GetProperty(L"HinstancePtr")) {
      if (auto value = VariantToInt64(*full->Get())) return static_cast<std::uintptr_t>(*value);
    }
#endif
    auto value = object_.GetInt(L"Hinstance");
    if (!value) return std::nullopt;
    return static_cast<std::uintptr_t>(static_cast<ULONG>(*value));
  }

  std::optional<std::string> Version() override {
    return object_.GetText(L"Version");
  }
  std::optional<bool> Visible() override {
    return object_.GetBool(L"Visible");
  }
  std::optional<bool> Ready() override {
    return object_.GetBool(L"Ready");
  }
  std::optional<bool> DisplayFormulaBar() override {
    return object_.GetBool(L"DisplayFormulaBar");
  }
  std::optional<bool> ShowWindowsInTaskbar() override {
    return object_.GetBool(L"ShowWindowsInTaskbar");
  }
  bool SetShowWindowsInTaskbar(bool show) override {
    return object_.PutProperty(L"ShowWindowsInTaskbar", *UniqueVariant::FromBool(show).Get());
  }
  host::WorkbooksPtr Workbooks() override {
    return MakeWin32Workbooks(object_.GetDispatch(L"Workbooks"));
  }
  host::WorkbookPtr ActiveWorkbook() override {
    return MakeWin32Workbook(object_.GetDispatch(L"ActiveWorkbook"));
  }
  host::CommandBarsPtr CommandBars() override {
    return MakeWin32CommandBars(object_.GetDispatch(L"CommandBars"));
  }
  bool SetScreenUpdating(bool on) override {
    return object_.PutProperty(L"ScreenUpdating", *UniqueVariant::FromBool(on).Get());
  }
  std::unique_ptr<host::IEventConnection> ConnectEvents(host::IAppEvents& sink) override {
    return ConnectAppEvents(object_.Get(), sink);
  }

 private:
  DispatchObject object_;
};

}  // namespace

host::ApplicationPtr MakeWin32Application(ComPtr<IDispatch> application) {
  if (!application) return nullptr;
  return std::make_shared<Win32Application>(std::move(application));
}

}  // namespace vestrano::win32
