// Puts every module's state back as a freshly loaded module has it, so that tests and scenario
// runs start from the same place a new Excel process does.
#pragma once

namespace vestrano {

void ResetModuleState();

}  // namespace vestrano
