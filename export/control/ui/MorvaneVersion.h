// The version of the Morvane library a host runs against (for example "0.1.0"). A host
// built with find_package(Morvane) knows the version it was built with as Morvane_VERSION.
#pragma once

#include "export/common/MorvaneExport.h"

namespace morvane {

MORVANE_EXPORT const char* MorvaneVersion();

}  // namespace morvane
