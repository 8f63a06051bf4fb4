#include "export/control/ui/MorvaneVersion.h"

namespace morvane {

const char* MorvaneVersion() {
    return MORVANE_VERSION_TEXT;
}

}  // namespace morvane
