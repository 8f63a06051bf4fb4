// SessionOutcome: what one Execute or BatchExport call came to, for the control and the
// command-line tools alike.
#pragma once

namespace morvane {

struct SessionOutcome {
    bool Completed = false;  //!< an export run reached its end normally
    int ErrorReports = 0;    //!< error reports shown during the call
};

}  // namespace morvane
