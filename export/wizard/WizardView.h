// WizardView: what the export session needs of the wizard window that shows it. The
// session runs the opening sequence (database, source list, output kinds, defaults) and
// then asks its view to show itself; the view reads the session's state and edits it
// through the session's operations. Tests give the session a view without widgets.
#pragma once

#include "export/wizard/SettingsHost.h"

namespace morvane {

class WizardView : public SettingsHost {
  public:
    //! Fills the widgets that the opening sequence prepares: the source list, the output
    //! kinds still offered, the first step's frame (step 0 hidden in single-table mode,
    //! the second settings button hidden in multi-table mode) and the width spinner.
    virtual void PrepareView() = 0;
    //! Shows the window modally with `caption`; returns when it closes.
    virtual void ShowModal(const QString& caption) = 0;
};

}  // namespace morvane
