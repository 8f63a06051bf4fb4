#include "propertybag/PropertyBag.h"
