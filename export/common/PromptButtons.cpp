#include "export/common/PromptButtons.h"

namespace morvane {

std::vector<MsgResult> ButtonResults(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OKCancel:
            return {MsgResult::OK, MsgResult::Cancel};
        case MsgButtons::AbortRetryIgnore:
            return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
        case MsgButtons::YesNoCancel:
            return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        case MsgButtons::YesNo:
            return {MsgResult::Yes, MsgResult::No};
        case MsgButtons::RetryCancel:
            return {MsgResult::Retry, MsgResult::Cancel};
        case MsgButtons::OK:
            break;
    }
    return {MsgResult::OK};
}

MsgResult DefaultButtonResult(MsgButtons buttons, int defaultButton) {
    const std::vector<MsgResult> results = ButtonResults(buttons);
    if (defaultButton < 1 || defaultButton > static_cast<int>(results.size()))
        return results.front();
    return results[static_cast<size_t>(defaultButton - 1)];
}

}  // namespace morvane
