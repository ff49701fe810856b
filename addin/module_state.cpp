// The reset of all module-level state.
#include "addin/module_state.h"

#include "tabbar/module_pub.h"
#include "winhook/module_getclass.h"
#include "winhook/module_subclass.h"

namespace vestrano {

void ResetModuleState() {
  ResetShared();
  Subclass() = SubclassState{};
  CbtHook() = HookState{};
}

}  // namespace vestrano
