#include "logo/pic_box.h"

#include "logo/stretch.h"

namespace qrlogo {
namespace {

// Up to this depth the display cannot show a smooth stretch's in-between colours, so whole
// pixels are dropped or repeated instead.
constexpr int kSmoothStretchAboveBitsPerPixel = 16;

}  // namespace

PicBox::PicBox(platform::CustomControl& control)
    : m_control(control), m_background(platform::ButtonFaceColour()) {
    m_control.SetPainter(this);
}

PicBox::~PicBox() {
    StopAnimation();
    m_control.SetPainter(nullptr);
}

void PicBox::StopAnimation() {
    if (m_animation) m_animation->Stop();
    m_animation.reset();
    m_animationPending = false;
}

void PicBox::SetPicture(const ByteSet& bytes) { SetPicture(bytes.Copy()); }

void PicBox::SetPicture(ByteSet&& bytes) {
    m_bytes = std::move(bytes);
    StopAnimation();
    m_stillFrameReady = false;
    m_picture.reset();
    m_still = PixelBuffer();

    m_picture = DecodePicture(m_bytes.Bytes());
    if (m_picture) {
        if (m_picture->kind == PictureKind::Gif && !m_picture->gif.still) {
            m_animationPending = true;
        } else {
            m_still = FlattenOnto(RenderPicture(*m_picture), m_background);
        }
    }
    m_control.Invalidate(m_control.ClientRect());
}

void PicBox::SetVisible(bool visible) {
    m_visible = visible;
    m_control.SetVisible(visible);
}

std::optional<std::size_t> PicBox::AnimationImage() const {
    if (!m_animation) return std::nullopt;
    std::size_t image = 0;
    m_animation->ReadCanvas([&image](const PixelBuffer&, std::size_t index) { image = index; });
    return image;
}

const PixelBuffer& PicBox::Paint(const Rect&) {
    const Rect client = m_control.ClientRect();
    if (m_animationPending) {
        m_animationPending = false;
        m_animation = std::make_unique<GifAnimation>(
            m_picture->gif, [&control = m_control] { control.RequestRepaintFromAnyThread(); });
        m_animation->Start();
    }

    const bool smooth = m_control.DisplayBitsPerPixel() > kSmoothStretchAboveBitsPerPixel;
    const auto stretch = [&](const PixelBuffer& source) {
        return smooth ? StretchSmooth(source, client.width, client.height)
                      : StretchNearest(source, client.width, client.height);
    };
    if (m_animation) {
        m_animation->ReadCanvas(
            [&](const PixelBuffer& canvas, std::size_t) { m_frame = stretch(canvas); });
    } else if (!m_stillFrameReady || m_stillFrameSmooth != smooth) {
        m_frame = m_still.IsEmpty() ? PixelBuffer(client.width, client.height, m_background)
                                    : stretch(m_still);
        m_stillFrameReady = true;
        m_stillFrameSmooth = smooth;
    }
    return m_frame;
}

}  // namespace qrlogo
