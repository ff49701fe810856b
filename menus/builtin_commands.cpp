// Built-in commands and named bars through the connected Excel's command bars.
#include "menus/builtin_commands.h"

#include "core/shared_state.h"

namespace vestrano {

bool RunBuiltInCommand(int id) {
  auto& app = Shared().oExcelApp;
  auto bars = app ? app->CommandBars() : nullptr;
  auto control = bars ? bars->FindControl(id) : nullptr;
  return control && control->Execute();
}

host::CommandBarPtr CommandBarNamed(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto bars = app ? app->CommandBars() : nullptr;
  return bars ? bars->Item(name) : nullptr;
}

}  // namespace vestrano
