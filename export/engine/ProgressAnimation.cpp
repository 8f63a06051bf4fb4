#include "export/engine/ProgressAnimation.h"

namespace morvane {

void ProgressAnimation::Tick() {
    const int frame = frame_;
    if (frame == 1) {
        if (Visible(12)) {
            SetVisible(13, true);
            SetVisible(12, false);
            SetVisible(11, false);
        }
        SetVisible(1, true);
    } else if (frame >= 2 && frame <= 10) {
        SetVisible(frame - 1, false);
        SetVisible(frame, true);
    } else if (frame == 11) {
        SetVisible(10, false);
        SetVisible(11, true);
        SetVisible(12, false);
        SetVisible(13, false);
    } else if (frame == 12) {
        SetVisible(12, true);
        SetVisible(11, false);
        SetVisible(13, false);
    }
    frame_ = frame + 1;
    if (frame_ == 13) frame_ = 1;
}

}  // namespace morvane
