// Excel's Workbooks, Workbook, Windows, Window and sheet objects through IDispatch. Each kind has
// its own DISPID cache; a failed call comes back empty, as the logic's error policy expects.
#include "host/win32/dispatch_call.h"
#include "host/win32/win32_excel.h"

namespace vestrano::win32 {
namespace {

DispatchNames& WorkbooksNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& WorkbookNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& WindowsNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& WindowNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& SheetNames() {
  static DispatchNames names;
  return names;
}

template <typename Ptr, typename Make>
std::optional<std::vector<Ptr>> WrapAll(DispatchObject& collection, Make make) {
  auto items = collection.Enumerate();
  if (!items) return std::nullopt;
  std::vector<Ptr> wrapped;
  wrapped.reserve(items->size());
  for (const auto& item : *items) wrapped.push_back(make(VariantToDispatch(*item.Get())));
  return wrapped;
}

class Win32Window final : public host::IWindow {
 public:
  explicit Win32Window(ComPtr<IDispatch> window) : object_(std::move(window), WindowNames()) {}
  std::optional<bool> Visible() override { return object_.GetBool(L"Visible"); }
  bool Activate() override { return object_.CallMethod(L"Activate").has_value(); }

 private:
  DispatchObject object_;
};

class Win32Windows final : public host::IWindows {
 public:
  explicit Win32Windows(ComPtr<IDispatch> windows) : object_(std::move(windows), WindowsNames()) {}
  host::WindowPtr Item(int index) override {
    auto arg = UniqueVariant::FromInt(index);
    return MakeWin32Window(object_.GetDispatch(L"Item", {arg.Get()}));
  }
  std::optional<std::vector<host::WindowPtr>> Enumerate() override {
    return WrapAll<host::WindowPtr>(object_, MakeWin32Window);
  }

 private:
  DispatchObject object_;
};

class Win32Workbook final : public host::IWorkbook {
 public:
  explicit Win32Workbook(ComPtr<IDispatch> workbook)
      : object_(std::move(workbook), WorkbookNames()) {}
  std::optional<std::string> Name() override { return object_.GetText(L"Name"); }
  std::optional<std::string> FullName() override { return object_.GetText(L"FullName"); }
  std::optional<bool> Saved() override { return object_.GetBool(L"Saved"); }
  host::WindowsPtr Windows() override {
    auto windows = object_.GetDispatch(L"Windows");
    return windows ? std::make_shared<Win32Windows>(std::move(windows)) : nullptr;
  }
  bool Activate() override { return object_.CallMethod(L"Activate").has_value(); }

 private:
  DispatchObject object_;
};

class Win32Workbooks final : public host::IWorkbooks {
 public:
  explicit Win32Workbooks(ComPtr<IDispatch> workbooks)
      : object_(std::move(workbooks), WorkbooksNames()) {}
  host::WorkbookPtr Item(std::string_view name) override {
    auto arg = UniqueVariant::FromString(name);
    return MakeWin32Workbook(object_.GetDispatch(L"Item", {arg.Get()}));
  }
  std::optional<std::vector<host::WorkbookPtr>> Enumerate() override {
    return WrapAll<host::WorkbookPtr>(object_, MakeWin32Workbook);
  }

 private:
  DispatchObject object_;
};

class Win32Sheet final : public host::ISheet {
 public:
  explicit Win32Sheet(ComPtr<IDispatch> sheet) : object_(std::move(sheet), SheetNames()) {}
  host::WorkbookPtr Parent() override { return MakeWin32Workbook(object_.GetDispatch(L"Parent")); }

 private:
  DispatchObject object_;
};

}  // namespace

host::WorkbookPtr MakeWin32Workbook(ComPtr<IDispatch> workbook) {
  if (!workbook) return nullptr;
  return std::make_shared<Win32Workbook>(std::move(workbook));
}

host::WindowPtr MakeWin32Window(ComPtr<IDispatch> window) {
  if (!window) return nullptr;
  return std::make_shared<Win32Window>(std::move(window));
}

host::SheetPtr MakeWin32Sheet(ComPtr<IDispatch> sheet) {
  if (!sheet) return nullptr;
  return std::make_shared<Win32Sheet>(std::move(sheet));
}

host::WorkbooksPtr MakeWin32Workbooks(ComPtr<IDispatch> workbooks) {
  if (!workbooks) return nullptr;
  return std::make_shared<Win32Workbooks>(std::move(workbooks));
}

}  // namespace vestrano::win32
