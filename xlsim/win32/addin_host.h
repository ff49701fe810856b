// Loads COM add-ins as Excel does: every add-in registered under the current user's or the
// machine's "Software\Microsoft\Office\Excel\Addins" with LoadBehavior 3 is created from its
// ProgID and connected through IDTExtensibility2; from Excel 2007 on, its ribbon markup comes from
// IRibbonExtensibility::GetCustomUI, and the markup's onLoad, loadImage and getPressed callbacks
// are called by name through the add-in's IDispatch, as Office calls them.
#pragma once

#include "host/win32/windows_api.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xlsim/markup.h"
#include "xlsim/win32/excel.h"
#include "xlsim/win32/office_interfaces.h"

namespace vestrano::xlsim::win32 {

class AddinHost {
 public:
  // `report` hears what went wrong (Office's own error reports, which the user would see only
  // with add-in errors shown).
  AddinHost(Excel& excel, std::function<void(const std::string&)> report);
  ~AddinHost();
  AddinHost(const AddinHost&) = delete;
  AddinHost& operator=(const AddinHost&) = delete;

  // Creates the registered add-ins, unless they are loaded, and connects them; why not, when
  // none could be.
  std::optional<std::string> Connect(int mode);
  // Disconnects them as the user does in the COM add-ins dialog, and lets them go.
  void Disconnect();
  // Disconnects them as Excel does when it closes.
  void ShutDown();

  // The ribbon of the (first) add-in that has one.
  std::optional<std::string> RibbonMarkup() const;
  // The check box's state as the ribbon shows it: what getPressed answered, or the user's last
  // click; asked again once the add-in invalidated the ribbon.
  std::optional<bool> RibbonPressed();
  // A click on the check box, which makes it `pressed`.
  std::optional<std::string> RibbonToggle(bool pressed);
  // A click on the button labelled `label`; returns once the add-in's callback has returned, so a
  // dialog that the callback opens is up until then.
  std::optional<std::string> RibbonClick(std::string_view label);
  // Tells the host that the add-in invalidated its ribbon (IRibbonUI).
  void Invalidate() { invalid_ = true; }

 private:
  struct Loaded {
    std::string prog_id;
    ComPtr<IDTExtensibility2> addin;
    ComPtr<IDispatch> callbacks;  // the IRibbonExtensibility pointer, through which Office calls
    std::optional<std::string> markup;
    RibbonCallbacks ribbon;
    std::map<std::string, bool> pressed;  // by check box id
  };
  void LoadRegistered();
  void LoadRibbon(Loaded& loaded);
  std::optional<bool> AskPressed(Loaded& loaded, const RibbonCallbacks::CheckBox& box);
  Loaded* WithRibbon();

  Excel& excel_;
  std::function<void(const std::string&)> report_;
  std::vector<Loaded> loaded_;
  ComPtr<IDispatch> ribbon_ui_;
  bool invalid_ = false;
};

}  // namespace vestrano::xlsim::win32
