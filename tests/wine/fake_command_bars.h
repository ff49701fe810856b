// The test Excel's minimal command bars: CommandBars with FindControl, Item and Add; bars with
// Controls, Delete, Enabled, Visible and ShowPopup; controls with Caption, Tag, Parameter,
// BeginGroup, Enabled, State, Execute and Delete; and each button's connection point for
// _CommandBarButtonEvents, whose Click goes, as Office sends it, to every sink advised on a button
// with the clicked button's Tag. Built-in controls (Save 3, Close 106, Save As 748, New 2520)
// count their executions.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/fake_dispatch.h"

namespace wine_test {

class FakeButton;
class FakeBar;

class FakeCommandBars final : public FakeDispatch {
 public:
  FakeCommandBars();
  ~FakeCommandBars() override;

  // The bar of that name; null when there is none.
  FakeBar* Bar(const std::wstring& name) const;
  // How often built-in control `id` ran.
  int Executions(int id) const;
  // Clicks `button` as the user would: Click(Ctrl, CancelDefault) on every sink advised on a
  // button with its Tag (on the button itself when it has none). Returns how many sinks heard it
  // and whether one set CancelDefault.
  int Click(FakeButton* button, bool* cancel_default);
  // Sinks advised on any button.
  std::size_t Sinks() const;

  // Used by the bars and buttons.
  void Forget(FakeButton* button);
  void Remember(FakeButton* button) { buttons_.push_back(button); }
  void DeleteBar(FakeBar* bar);

 private:
  std::vector<std::pair<std::wstring, ComPtr<FakeBar>>> bars_;
  std::map<int, ComPtr<FakeButton>> built_in_;
  std::vector<FakeButton*> buttons_;  // every live button, each held by its collection
};

class FakeButton final : public FakeDispatch, public IConnectionPointContainer {
 public:
  FakeButton(FakeCommandBars* bars, int id);
  ~FakeButton() override;
  FakeButton(const FakeButton&) = delete;
  FakeButton& operator=(const FakeButton&) = delete;

  const std::wstring& Caption() const { return caption_; }
  const std::wstring& Tag() const { return tag_; }
  const std::wstring& Parameter() const { return parameter_; }
  bool BeginGroup() const { return begin_group_; }
  int Executions() const { return executions_; }
  std::size_t Sinks() const { return sinks_.size(); }
  // Raises Click on this button's sinks; the number that heard it.
  int Raise(IDispatch* control, VARIANT_BOOL* cancel_default);
  void Orphan() { bars_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    return FakeDispatch::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return FakeDispatch::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return FakeDispatch::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** out) noexcept override;
  HRESULT Advise(IUnknown* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);

 protected:
  void* QueryOther(REFIID iid) override;

 private:
  FakeCommandBars* bars_;
  std::wstring caption_, tag_, parameter_;
  bool begin_group_ = false;
  bool enabled_ = true;
  int state_ = 0;
  int executions_ = 0;
  class ConnectionPoint;
  std::unique_ptr<ConnectionPoint> point_;
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD next_cookie_ = 1;
};

class FakeBar final : public FakeDispatch {
 public:
  FakeBar(FakeCommandBars* bars, std::wstring name, int position, bool temporary);
  ~FakeBar() override;
  const std::vector<ComPtr<FakeButton>>& Buttons() const { return buttons_; }
  int Position() const { return position_; }
  bool Temporary() const { return temporary_; }
  // Takes the buttons out of the bars' fan-out: the bar is gone.
  void Drop();

 private:
  FakeCommandBars* bars_;
  std::wstring name_;
  int position_;
  bool temporary_;
  bool enabled_ = false;
  bool visible_ = false;
  std::vector<ComPtr<FakeButton>> buttons_;
  ComPtr<IDispatch> controls_;
};

}  // namespace wine_test
