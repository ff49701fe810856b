// The shared state. It is never destroyed: at process exit its destructor would release Excel's
// objects and destroy the tab bar's window under the loader lock, which neither COM nor user32
// allows. The disconnection releases all of it on Excel's thread instead.
#include "core/shared_state.h"

namespace vestrano {

SharedState& Shared() {
  static SharedState& state = *new SharedState;
  return state;
}

void ResetShared() {
  Shared() = SharedState{};
}

}  // namespace vestrano
