// What the buttons of a message box answer: the results of a MsgButtons set in button
// order, and the result of its default button. Shared by the prompter implementations.
//
//   ButtonResults(MsgButtons::YesNo) == {Yes, No}
//   DefaultButtonResult(MsgButtons::YesNo, 2) == MsgResult::No
#pragma once

#include "export/common/Prompter.h"

#include <vector>

namespace morvane {

//! The results of the buttons, left to right.
std::vector<MsgResult> ButtonResults(MsgButtons buttons);

//! The result of button defaultButton (counted from 1); the first button's result when
//! defaultButton is out of range.
MsgResult DefaultButtonResult(MsgButtons buttons, int defaultButton);

}  // namespace morvane
