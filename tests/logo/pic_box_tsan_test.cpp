// Built with ThreadSanitizer: pictures written, painted and destroyed on the test's thread (the
// GUI thread's part) while the animation thread composes and asks for repaints.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "logo/pic_box.h"
#include "tests/logo/fake_control.h"
#include "tests/logo/picture_fixtures.h"

namespace qrlogo {
namespace {

using std::chrono::milliseconds;

TEST(PicBoxThreads, WritingPicturesWhileAnAnimationRuns) {
    // Images of 10 ms, so the animation thread draws between almost every two steps here.
    const ByteSet animation = ByteSet::FromBytes(test::ThreeColourAnimation(1));
    const ByteSet still = ByteSet::FromBytes(test::RedBlueBmp());
    test::FakeControl control;
    PicBox box(control);
    for (int round = 0; round < 30; ++round) {
        box.SetPicture(round % 5 == 4 ? still : animation);
        for (int step = 0; step < 6; ++step) {
            box.Paint(control.ClientRect());
            box.AnimationImage();
            std::this_thread::sleep_for(milliseconds(4));
        }
    }
    EXPECT_GT(control.repaintRequests.load(), 0);

    // A box destroyed while its animation runs.
    for (int round = 0; round < 10; ++round) {
        test::FakeControl other;
        PicBox doomed(other);
        doomed.SetPicture(animation);
        doomed.Paint(other.ClientRect());
        std::this_thread::sleep_for(milliseconds(round * 3));
    }
}

}  // namespace
}  // namespace qrlogo
