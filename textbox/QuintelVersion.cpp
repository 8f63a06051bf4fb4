// The library's version, for hosts that check what they loaded.
#include "textbox/QuintelVersion.h"

namespace morvane {

const char* QuintelVersion() {
    return QUINTEL_VERSION_TEXT;
}

}  // namespace morvane
