// A minimal Excel of the test's own: an Application over a real main window, one visible
// workbook with one window, a sheet, minimal command bars, and the connection point for Excel's
// application events.
// Just the members that the add-in reads at connection and in its event handlers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/wine/fake_command_bars.h"
#include "tests/wine/fake_dispatch.h"

namespace wine_test {

class FakeWorkbook;

// One open workbook of the test's Excel.
struct TestWorkbook {
  std::wstring name;
  std::wstring full_name;  // the name itself for a workbook never saved
  bool saved = true;
};

class FakeApplication final : public FakeDispatch, public IConnectionPointContainer {
 public:
  // `main_window` is what Hwnd answers. One saved workbook "Book1", or the given ones with the
  // `active`th (0-based) active.
  explicit FakeApplication(HWND main_window);
  FakeApplication(HWND main_window, const std::vector<TestWorkbook>& workbooks, std::size_t active);

  // The active workbook.
  FakeWorkbook* Workbook() const { return workbook_.Get(); }
  FakeCommandBars* CommandBars() const { return command_bars_.Get(); }
  // The sheet of the workbook, as events carry it.
  IDispatch* Sheet() const { return sheet_.Get(); }
  // Excel's ShowWindowsInTaskbar, as the add-in last set it.
  bool ShowsWindowsInTaskbar() const { return show_in_taskbar_; }
  // Sinks currently advised on the AppEvents connection point.
  std::size_t SinkCount() const { return sinks_.size(); }
  // Raises an event on every advised sink, with the arguments in declaration order; the
  // result of the last sink.
  HRESULT Fire(DISPID event, std::vector<VARIANT> args);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    return FakeDispatch::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return FakeDispatch::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return FakeDispatch::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** out) noexcept override;

  // When set, the connection point refuses every Advise, as Excel may when it is shutting down.
  bool refuse_advise = false;

  // Used by the connection point.
  HRESULT Advise(IUnknown* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);

 protected:
  void* QueryOther(REFIID iid) override;

 private:
  HWND main_window_;
  ComPtr<FakeWorkbook> workbook_;
  ComPtr<IDispatch> workbooks_;
  ComPtr<IDispatch> sheet_;
  ComPtr<IConnectionPoint> connection_point_;
  ComPtr<FakeCommandBars> command_bars_;
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD next_cookie_ = 1;
  bool show_in_taskbar_ = true;
  bool screen_updating_ = true;
};

class FakeWorkbook final : public FakeDispatch {
 public:
  explicit FakeWorkbook(const TestWorkbook& book);
  int Activations() const { return activations_; }

 private:
  ComPtr<IDispatch> windows_;
  int activations_ = 0;
};

// A simple object with a name, standing for the ribbon UI or a ribbon control.
ComPtr<IDispatch> NewNamedObject(const wchar_t* kind);

}  // namespace wine_test
