#include "designer/ControlsDesignerCollection.h"

#include "designer/MorvaneDesignerPlugin.h"
#include "designer/QuintelDesignerPlugin.h"

namespace morvane {

ControlsDesignerCollection::ControlsDesignerCollection(QObject* parent) : QObject(parent) {
    // The widget interfaces are QObject children of the collection, which owns them.
    widgets_ << new MorvaneDesignerPlugin(this) << new QuintelDesignerPlugin(this);
}

}  // namespace morvane
