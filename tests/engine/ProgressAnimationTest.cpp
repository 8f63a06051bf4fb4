// The progress window's animation: which pictures show after each tick.
#include "export/engine/ProgressAnimation.h"

#include <gtest/gtest.h>
#include <set>

namespace morvane {
namespace {

std::set<int> VisiblePictures(const ProgressAnimation& animation) {
    std::set<int> visible;
    for (int picture = 0; picture < ProgressAnimation::PictureCount; ++picture)
        if (animation.Visible(picture)) visible.insert(picture);
    return visible;
}

TEST(ProgressAnimationTest, TicksFollowTheTable) {
    struct Step {
        int frameAfter;
        std::set<int> visible;
    };
    // Tick by tick from the designed start (pictures 0 and 1 shown, frame 1).
    const Step steps[] = {
        {2, {0, 1}},
        {3, {0, 2}},
        {4, {0, 3}},
        {5, {0, 4}},
        {6, {0, 5}},
        {7, {0, 6}},
        {8, {0, 7}},
        {9, {0, 8}},
        {10, {0, 9}},
        {11, {0, 10}},
        {12, {0, 11}},
        {1, {0, 12}},
        // Second round: frame 1 sees picture 12 and swaps it for 13, which stays up
        // until frame 11 hides it.
        {2, {0, 1, 13}},
        {3, {0, 2, 13}},
        {4, {0, 3, 13}},
        {5, {0, 4, 13}},
        {6, {0, 5, 13}},
        {7, {0, 6, 13}},
        {8, {0, 7, 13}},
        {9, {0, 8, 13}},
        {10, {0, 9, 13}},
        {11, {0, 10, 13}},
        {12, {0, 11}},
        {1, {0, 12}},
        {2, {0, 1, 13}},
    };
    ProgressAnimation animation;
    EXPECT_EQ(animation.Frame(), 1);
    EXPECT_EQ(VisiblePictures(animation), (std::set<int>{0, 1}));
    int tick = 0;
    for (const Step& step : steps) {
        animation.Tick();
        ++tick;
        EXPECT_EQ(animation.Frame(), step.frameAfter) << "tick " << tick;
        EXPECT_EQ(VisiblePictures(animation), step.visible) << "tick " << tick;
    }
}

TEST(ProgressAnimationTest, PictureZeroIsNeverChanged) {
    for (bool initial : {true, false}) {
        ProgressAnimation animation;
        animation.SetVisible(0, initial);
        for (int tick = 0; tick < 40; ++tick) {
            animation.Tick();
            ASSERT_EQ(animation.Visible(0), initial);
            ASSERT_GE(animation.Frame(), 1);
            ASSERT_LE(animation.Frame(), 12);
        }
    }
}

}  // namespace
}  // namespace morvane
