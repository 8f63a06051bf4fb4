// ProgressAnimation: which of the progress window's 14 pictures are visible. Pictures 1 to
// 13 form the animation, stepped by Tick() on every timer tick; picture 0 is never changed.
//
//   frame  action
//   1      if picture 12 is visible: show 13, hide 12 and 11; then show 1
//   2..10  hide picture frame-1, show picture frame
//   11     hide 10, show 11, hide 12 and 13
//   12     show 12, hide 11 and 13
// then the frame advances, and after 12 starts again at 1.
#pragma once

#include <array>
#include <cstddef>

namespace morvane {

class ProgressAnimation {
public:
    static constexpr int PictureCount = 14;

    //! Applies the action of the current frame and advances to the next one.
    void Tick();
    int Frame() const { return frame_; }
    bool Visible(int picture) const { return visible_.at(static_cast<std::size_t>(picture)); }
    //! The initial visibility (as the window is designed: picture 0 and picture 1 shown).
    void SetVisible(int picture, bool visible) { visible_.at(static_cast<std::size_t>(picture)) = visible; }

private:
    int frame_ = 1;
    std::array<bool, PictureCount> visible_{true, true};
};

}  // namespace morvane
