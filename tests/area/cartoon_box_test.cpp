#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "qr/cartoon_box.h"
#include "tests/area/png_builder.h"

namespace qrlogo {
namespace {

constexpr std::uint32_t kFace = 0xFFD4D0C8;

// The platform's side, recorded: what was marked for repainting and when repaints were forced.
class FakeControl : public platform::CustomControl {
public:
    void SetPainter(platform::ControlPainter* p) override { painter = p; }
    Rect ClientRect() const override { return Rect{0, 0, 208, 200}; }
    void Invalidate(const Rect& dirty) override { pending.push_back(dirty); }
    void UpdateNow() override {
        ++forcedUpdates;
        Flush();
    }
    void StartTimer(int ms, std::function<void()> t) override {
        intervalMs = ms;
        tick = std::move(t);
    }
    void RequestRepaintFromAnyThread() override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    int DisplayBitsPerPixel() const override { return 32; }

    // Carries out the pending repaints onto `screen`, as the platform does when events are
    // handled.
    void Flush() {
        for (const Rect& r : pending) {
            const PixelBuffer& pixels = painter->Paint(r);
            for (int y = r.top; y < r.Bottom(); ++y) {
                for (int x = r.left; x < r.Right(); ++x) screen.At(x, y) = pixels.At(x, y);
            }
        }
        pending.clear();
    }

    platform::ControlPainter* painter = nullptr;
    std::vector<Rect> pending;
    int forcedUpdates = 0;
    int intervalMs = 0;
    std::function<void()> tick;
    PixelBuffer screen{208, 200, 0};
};

std::uint32_t g_now = 0;
std::uint32_t Now() { return g_now; }

ByteSet Bytes(const std::vector<std::uint8_t>& bytes) {
    return ByteSet::FromBytes(std::span(bytes));
}
ByteSet SolidPng(std::uint32_t w, std::uint32_t h, std::uint32_t rgb) {
    return Bytes(test::SolidRgbPng(w, h, rgb));
}

TEST(CartoonBox, StartsAsItsControlsPainterWithTimerAndBackground) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    EXPECT_EQ(control.painter, &box);
    EXPECT_EQ(control.intervalMs, 5);
    const PixelBuffer& pixels = box.Paint(Rect{0, 0, 208, 200});
    EXPECT_EQ(pixels.width, 208);
    EXPECT_EQ(pixels.height, 200);
    EXPECT_EQ(pixels.At(0, 0), kFace);
    EXPECT_EQ(pixels.At(207, 199), kFace);
}

TEST(CartoonBox, AddsObjectsInLayerOrderWithCountedIdentifiers) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    PictureObject high;
    high.layer = 1;
    PictureObject low;
    low.layer = -1;
    EXPECT_EQ(box.AddPictureObject(nullptr, 0, 0, true), 1);
    EXPECT_EQ(box.AddPictureObject(&high, 5, 6, false, Text::FromBytes("tag")), 2);
    EXPECT_EQ(box.AddPictureObject(0, 0), 3);
    EXPECT_EQ(box.AddPictureObject(&low, 0, 0), 4);
    std::vector<std::int32_t> order;
    for (const PictureObject& o : box.Objects()) order.push_back(o.identifier);
    EXPECT_EQ(order, (std::vector<std::int32_t>{4, 1, 3, 2}));
    const PictureObject* two = box.FindObject(2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->left, 5.0);
    EXPECT_EQ(two->top, 6.0);
    EXPECT_FALSE(two->visible);
    EXPECT_EQ(two->tag.View(), "tag");
    EXPECT_FALSE(two->picture);
    EXPECT_TRUE(control.pending.empty()) << "objects without a picture have no rectangle";
}

TEST(CartoonBox, ShowsAPictureOnlyOnceItsRepaintIsCarriedOut) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    control.screen = box.Paint(Rect{0, 0, 208, 200});
    const std::int32_t id = box.AddPictureObject(nullptr, 0, 0, true);
    box.SetObjectPicture(id, SolidPng(200, 200, 0x0000CC));
    EXPECT_EQ(control.screen.At(10, 10), kFace) << "nothing reaches the screen before the repaint";
    EXPECT_EQ(control.pending, (std::vector<Rect>{{0, 0, 200, 200}}));
    control.Flush();
    EXPECT_EQ(control.screen.At(10, 10), 0xFF0000CCu);
    EXPECT_EQ(control.screen.At(204, 10), kFace);
}

TEST(CartoonBox, IgnoresUnknownIdentifiers) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    const std::int32_t id = box.AddPictureObject(nullptr, 0, 0, true);
    box.SetObjectPicture(id, SolidPng(4, 4, 0x112233));
    control.pending.clear();
    for (std::int32_t unknown : {0, -1, id + 1}) {
        box.SetObjectPicture(unknown, SolidPng(8, 8, 0x445566));
        EXPECT_TRUE(control.pending.empty()) << "id " << unknown;
        EXPECT_EQ(box.Objects().size(), 1u) << "id " << unknown;
        EXPECT_EQ(box.FindObject(id)->picture->width, 4) << "id " << unknown;
    }
}

TEST(CartoonBox, FailedDecodeLeavesNoPictureAndOlderObjectsShowThrough) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    const std::int32_t first = box.AddPictureObject(nullptr, 0, 0, true);
    box.SetObjectPicture(first, SolidPng(200, 200, 0x00AA00));
    const std::int32_t second = box.AddPictureObject(nullptr, 0, 0, true);
    box.SetObjectPicture(second, SolidPng(100, 100, 0xAA0000));
    control.Flush();
    box.SetObjectPicture(second, ByteSet());
    EXPECT_FALSE(box.FindObject(second)->picture) << "the old picture is dropped";
    EXPECT_EQ(control.pending, (std::vector<Rect>{{0, 0, 100, 100}}))
        << "its old rectangle is repainted";
    control.Flush();
    EXPECT_EQ(control.screen.At(50, 50), 0xFF00AA00u);
    box.SetObjectPicture(first, ByteSet::FromBytes(std::string_view("not a picture")));
    control.Flush();
    EXPECT_EQ(control.screen.At(50, 50), kFace);
}

TEST(CartoonBox, EqualLayersPutTheNewestOnTop) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    for (std::uint32_t colour : {0x110000u, 0x002200u, 0x000033u}) {
        box.SetObjectPicture(box.AddPictureObject(nullptr, 0, 0, true), SolidPng(200, 200, colour));
    }
    control.Flush();
    EXPECT_EQ(control.screen.At(100, 100), 0xFF000033u);
}

TEST(CartoonBox, HiddenObjectsAreNeitherMarkedNorPainted) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    const std::int32_t id = box.AddPictureObject(nullptr, 0, 0, false);
    box.SetObjectPicture(id, SolidPng(50, 50, 0x123456));
    EXPECT_TRUE(control.pending.empty());
    EXPECT_EQ(box.Paint(Rect{0, 0, 208, 200}).At(10, 10), kFace);
}

TEST(CartoonBox, ColourKeyOfTheTopLeftPixelShowsWhatIsBelow) {
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    test::PngLayout layout;
    layout.width = 2;
    layout.rows = {{9, 9, 9, 200, 100, 50}};  // a keyed grey pixel, then an orange one
    const std::int32_t id = box.AddPictureObject(nullptr, 0, 0, true);
    box.SetObjectPicture(id, Bytes(test::BuildPng(layout)), -2);
    const PixelBuffer& pixels = box.Paint(Rect{0, 0, 208, 200});
    EXPECT_EQ(pixels.At(0, 0), kFace);
    EXPECT_EQ(pixels.At(1, 0), Argb(200, 100, 50));
    EXPECT_EQ(box.FindObject(id)->transparent, -2);
}

TEST(CartoonBox, TimerForcesPendingRepaintsAfterMoreThan100Ms) {
    g_now = 1000;
    FakeControl control;
    CartoonBox box(control, kFace, &Now);
    struct Step {
        std::uint32_t now;
        int forcedUpdates;
    };
    const Step steps[] = {{1005, 0}, {1100, 0}, {1101, 1}, {1150, 1}, {1202, 2}};
    for (const Step& s : steps) {
        g_now = s.now;
        control.tick();
        EXPECT_EQ(control.forcedUpdates, s.forcedUpdates) << "at " << s.now;
    }
}

TEST(CartoonBox, TicksAfterDestructionDoNothing) {
    FakeControl control;
    std::function<void()> tick;
    {
        CartoonBox box(control, kFace, &Now);
        tick = control.tick;
    }
    EXPECT_EQ(control.painter, nullptr);
    g_now += 1000;
    tick();
    EXPECT_EQ(control.forcedUpdates, 0);
}

}  // namespace
}  // namespace qrlogo
