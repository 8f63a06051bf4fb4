// MORVANE_PROPERTYBAG_EXPORT marks the property bag classes that the shared library
// MorvanePropertyBag offers to the controls and their hosts; the rest stays hidden.
#pragma once

#define MORVANE_PROPERTYBAG_EXPORT __attribute__((visibility("default")))
