#pragma once

#include <cstdint>
#include <functional>

#include "platform/pixel_buffer.h"

namespace qrlogo::platform {

// The program's side of a control it draws itself (the logo picture box, the QR display area).
class ControlPainter {
public:
    virtual ~ControlPainter() = default;
    // Compose `dirty` (client coordinates, already clipped to the client area) and return the
    // control's pixels at client size; only the dirty rectangle of them reaches the screen,
    // in one copy and without erasing first.
    virtual const PixelBuffer& Paint(const Rect& dirty) = 0;
};

// The platform's side: a native child window of the main window that the program draws.
// Everything but RequestRepaintFromAnyThread is for the GUI thread only.
class CustomControl {
public:
    virtual ~CustomControl() = default;

    virtual void SetPainter(ControlPainter* painter) = 0;
    // The client area, at (0, 0).
    virtual Rect ClientRect() const = 0;
    // Marks a rectangle for repainting when events are next handled; never erases.
    virtual void Invalidate(const Rect& dirty) = 0;
    // Carries out the pending repaints at once.
    virtual void UpdateNow() = 0;
    // Calls `tick` every `intervalMs` on the GUI thread while events are handled.
    virtual void StartTimer(int intervalMs, std::function<void()> tick) = 0;
    // Asks for a repaint of the whole control from any thread; the repaint runs on the GUI thread.
    virtual void RequestRepaintFromAnyThread() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // Bits per pixel of the display the control is shown on.
    virtual int DisplayBitsPerPixel() const = 0;
};

// The system's button-face colour as 0xFFRRGGBB.
std::uint32_t ButtonFaceColour();

}  // namespace qrlogo::platform
