// The drawn pictures of the login animation: the tick and the cross in their colours on
// white, crossing where they should.
#include <gtest/gtest.h>

#include "cloud/AnimationPictures.h"

namespace {

TEST(AnimationPictures, TickAndCross) {
    TBitmap tick;
    DrawAnimationPicture(tick, TAnimationPicture::Tick, 32);
    EXPECT_EQ(tick.GetWidth(), 32);
    EXPECT_EQ(tick.GetPixel(0, 0), clWhite);
    EXPECT_EQ(tick.GetPixel(13, 24), TColor(0x0000A000));  // the bottom of the tick
    EXPECT_EQ(tick.GetPixel(26, 8), TColor(0x0000A000));   // its long stroke's end

    TBitmap cross;
    DrawAnimationPicture(cross, TAnimationPicture::Cross, 32);
    EXPECT_EQ(cross.GetPixel(16, 16), TColor(0x000000D0));  // where the strokes meet
    EXPECT_EQ(cross.GetPixel(16, 2), clWhite);
}

}  // namespace
