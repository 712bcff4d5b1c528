#pragma once

#include <atomic>
#include <vector>

#include "platform/custom_control.h"

namespace qrlogo::test {

// A control without a window: records what the picture box asks of it. Repaint requests may
// come from any thread.
class FakeControl final : public platform::CustomControl {
public:
    int bitsPerPixel = 32;
    platform::ControlPainter* painter = nullptr;
    std::vector<Rect> invalidated;
    std::atomic<int> repaintRequests{0};
    bool visible = false;

    void SetPainter(platform::ControlPainter* p) override { painter = p; }
    Rect ClientRect() const override { return Rect{0, 0, 72, 32}; }
    void Invalidate(const Rect& dirty) override { invalidated.push_back(dirty); }
    void UpdateNow() override {}
    void StartTimer(int, std::function<void()>) override {}
    void RequestRepaintFromAnyThread() override { ++repaintRequests; }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    int DisplayBitsPerPixel() const override { return bitsPerPixel; }
};

}  // namespace qrlogo::test
