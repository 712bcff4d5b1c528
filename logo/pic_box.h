#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "app/decode/picture.h"
#include "app/text.h"
#include "logo/gif_animation.h"
#include "platform/custom_control.h"
#include "platform/pixel_buffer.h"

namespace qrlogo {

// 图片框1, the logo picture box: takes the bytes of a picture file, decodes them once, and
// draws the picture stretched over its whole client area on the button-face colour. A GIF of
// several images plays on a thread of its own from the first paint after it was written.
class PicBox final : public platform::ControlPainter {
public:
    explicit PicBox(platform::CustomControl& control);
    // Stops a running animation before anything it draws from is released.
    ~PicBox() override;
    PicBox(const PicBox&) = delete;
    PicBox& operator=(const PicBox&) = delete;

    // Keeps a copy of the bytes, stops the animation, decodes the bytes and asks for a repaint
    // without erasing. Bytes that hold no picture leave the box showing its background.
    void SetPicture(const ByteSet& bytes);
    // The same, keeping the bytes themselves instead of a copy.
    void SetPicture(ByteSet&& bytes);
    const ByteSet& PictureBytes() const { return m_bytes; }

    void SetVisible(bool visible);
    bool IsVisible() const { return m_visible; }

    const PixelBuffer& Paint(const Rect& dirty) override;

    // For tests: whether the last bytes decoded, and the animation's state.
    bool HasPicture() const { return m_picture.has_value(); }
    bool IsAnimating() const { return m_animation != nullptr && m_animation->IsRunning(); }
    // The image of an animation the canvas shows; none when no animation has started.
    std::optional<std::size_t> AnimationImage() const;

private:
    void StopAnimation();

    platform::CustomControl& m_control;
    const std::uint32_t m_background;
    bool m_visible = false;
    ByteSet m_bytes;
    std::optional<Picture> m_picture;
    // The decoded picture at its own size, flattened onto the background (still pictures).
    PixelBuffer m_still;
    // Set when a multi-image GIF was written; it starts at the next paint.
    bool m_animationPending = false;
    std::unique_ptr<GifAnimation> m_animation;
    PixelBuffer m_frame;
    // A still picture is stretched once, at its first paint, then again only when the
    // display's depth asks for the other kind of stretch.
    bool m_stillFrameReady = false;
    bool m_stillFrameSmooth = false;
};

}  // namespace qrlogo
