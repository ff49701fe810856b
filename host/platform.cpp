// The one instance of the installed platform services.
#include "host/platform.h"

namespace vestrano::host {

Platform& CurrentPlatform() {
  static Platform platform;
  return platform;
}

}  // namespace vestrano::host
