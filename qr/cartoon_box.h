#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/text.h"
#include "platform/custom_control.h"
#include "platform/pixel_buffer.h"
#include "qr/picture_object.h"

namespace qrlogo {

// 动画框1, the QR display area: an ordered list of positioned picture objects painted over a
// plain background in the platform's custom control. Only the GUI thread uses it.
class CartoonBox : public platform::ControlPainter {
public:
    using TickSource = std::uint32_t (*)();

    // Registers itself as the control's painter, builds the background in the button-face
    // colour and starts the 5 ms timer.
    explicit CartoonBox(platform::CustomControl& control);
    // The same with the background colour (0xFFRRGGBB) and the millisecond clock given.
    CartoonBox(platform::CustomControl& control, std::uint32_t backgroundColour,
               TickSource tickCount);
    ~CartoonBox() override;
    CartoonBox(const CartoonBox&) = delete;
    CartoonBox& operator=(const CartoonBox&) = delete;

    // Adds an object at (left, top) behind every object of a higher layer and returns its
    // identifier, counted up from 1. A template lends its layer and picture. -1 only when no
    // identifier is left.
    std::int32_t AddPictureObject(const PictureObject* templateObject, std::int32_t left,
                                  std::int32_t top, bool visible = true, const Text& tag = Text());
    std::int32_t AddPictureObject(std::int32_t left, std::int32_t top, bool visible = true) {
        return AddPictureObject(nullptr, left, top, visible);
    }

    // Gives the object `id` the picture decoded from `bytes`, with the colour key that
    // `transparent` asks for (-1 none, -2 the top-left pixel, else 0x00BBGGRR). A failed
    // decode leaves the object without a picture; an unknown or non-positive id changes nothing.
    void SetObjectPicture(std::int32_t id, const ByteSet& bytes, std::int32_t transparent = -1);

    const PixelBuffer& Paint(const Rect& dirty) override;

    // Read-only views for callers and tests: the list in painting order, one object by id
    // (null when there is none) and the composed pixels of the last paint.
    const std::vector<PictureObject>& Objects() const { return m_objects; }
    const PictureObject* FindObject(std::int32_t id) const;
    const PixelBuffer& Pixels() const { return m_canvas; }

private:
    PictureObject* FindObjectForChange(std::int32_t id);
    void InvalidateObject(const PictureObject& object);
    // Keeps the background and the canvas at the client size.
    void FitClientSize();
    void OnTimer();

    platform::CustomControl& m_control;
    std::uint32_t m_backgroundColour;
    TickSource m_tickCount;
    std::vector<PictureObject> m_objects;
    // ObjectExtents of m_objects, rebuilt on the first paint after the list changes.
    std::vector<Rect> m_extents;
    bool m_extentsValid = false;
    std::int32_t m_nextIdentifier = 1;
    PixelBuffer m_background;
    PixelBuffer m_canvas;
    std::uint32_t m_lastForcedUpdate;
    // The timer callback holds a weak reference, so a tick after destruction does nothing.
    std::shared_ptr<CartoonBox*> m_self;
};

}  // namespace qrlogo
