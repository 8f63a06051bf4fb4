// The version of the QuintelControl library a host runs against (for example "0.1.0").
#pragma once

#include "textbox/QuintelExport.h"

namespace morvane {

QUINTEL_EXPORT const char* QuintelVersion();

}  // namespace morvane
