// The reset of all module-level state.
#include "addin/state_reset.h"

#include "core/shared_state.h"
#include "winhook/desk_strip.h"
#include "winhook/focus_hook.h"

namespace vestrano {

void ResetModuleState() {
  ResetShared();
  Subclass() = SubclassState{};
  CbtHook() = HookState{};
}

}  // namespace vestrano
