#include "qr/cartoon_box.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/process.h"
#include "qr/area_compose.h"
#include "qr/area_picture.h"

namespace qrlogo {
namespace {

constexpr int kTimerIntervalMs = 5;
// Pending repaints are carried out at once when this much has passed since the last time.
constexpr std::uint32_t kForcedUpdateMs = 100;

}  // namespace

CartoonBox::CartoonBox(platform::CustomControl& control)
    : CartoonBox(control, platform::ButtonFaceColour(), &platform::TickCount) {}

CartoonBox::CartoonBox(platform::CustomControl& control, std::uint32_t backgroundColour,
                       TickSource tickCount)
    : m_control(control),
      m_backgroundColour(backgroundColour | 0xFF000000),
      m_tickCount(tickCount),
      m_lastForcedUpdate(tickCount()),
      m_self(std::make_shared<CartoonBox*>(this)) {
    FitClientSize();
    m_control.SetPainter(this);
    m_control.StartTimer(kTimerIntervalMs, [self = std::weak_ptr<CartoonBox*>(m_self)] {
        if (const auto box = self.lock()) (*box)->OnTimer();
    });
}

CartoonBox::~CartoonBox() { m_control.SetPainter(nullptr); }

std::int32_t CartoonBox::AddPictureObject(const PictureObject* templateObject, std::int32_t left,
                                          std::int32_t top, bool visible, const Text& tag) {
    if (m_nextIdentifier == std::numeric_limits<std::int32_t>::max()) return -1;
    PictureObject object;
    if (templateObject) {
        object.layer = templateObject->layer;
        object.transparent = templateObject->transparent;
        object.picture = templateObject->picture;
        object.currentFrame = templateObject->currentFrame;
    }
    object.identifier = m_nextIdentifier++;
    object.left = left;
    object.top = top;
    object.visible = visible;
    object.tag = tag.Copy();
    const auto position = std::upper_bound(
        m_objects.begin(), m_objects.end(), object.layer,
        [](std::int32_t layer, const PictureObject& o) { return layer < o.layer; });
    const auto added = m_objects.insert(position, std::move(object));
    m_extentsValid = false;
    if (added->visible) InvalidateObject(*added);
    return added->identifier;
}

void CartoonBox::SetObjectPicture(std::int32_t id, const ByteSet& bytes, std::int32_t transparent) {
    PictureObject* object = FindObjectForChange(id);
    if (!object) return;
    if (object->visible) InvalidateObject(*object);
    object->picture.reset();
    object->currentFrame = 0;
    object->transparent = transparent;
    m_extentsValid = false;
    if (auto picture = DecodeObjectPicture(bytes.Bytes(), transparent)) {
        object->picture = std::make_shared<const ObjectPicture>(std::move(*picture));
        if (object->visible) InvalidateObject(*object);
    }
}

const PixelBuffer& CartoonBox::Paint(const Rect& dirty) {
    FitClientSize();
    if (!m_extentsValid) {
        m_extents = ObjectExtents(m_objects);
        m_extentsValid = true;
    }
    ComposeArea(m_canvas, m_background, dirty, m_objects, m_extents);
    return m_canvas;
}

const PictureObject* CartoonBox::FindObject(std::int32_t id) const {
    if (id <= 0) return nullptr;
    const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                                 [id](const PictureObject& o) { return o.identifier == id; });
    return it == m_objects.end() ? nullptr : &*it;
}

PictureObject* CartoonBox::FindObjectForChange(std::int32_t id) {
    return const_cast<PictureObject*>(std::as_const(*this).FindObject(id));
}

void CartoonBox::InvalidateObject(const PictureObject& object) {
    const Rect onScreen = object.Bounds().Intersected(m_control.ClientRect());
    if (!onScreen.IsEmpty()) m_control.Invalidate(onScreen);
}

void CartoonBox::FitClientSize() {
    const Rect client = m_control.ClientRect();
    const int width = std::max(client.width, 0), height = std::max(client.height, 0);
    if (m_background.width == width && m_background.height == height) return;
    m_background = PixelBuffer(width, height, m_backgroundColour);
    m_canvas = m_background;
}

void CartoonBox::OnTimer() {
    // Objects of this system never expire and never play, so a tick only forces the pending
    // repaints out now and then.
    const std::uint32_t now = m_tickCount();
    if (now - m_lastForcedUpdate > kForcedUpdateMs) {  // modulo 2^32: wrap-round is harmless
        m_lastForcedUpdate = now;
        m_control.UpdateNow();
    }
}

}  // namespace qrlogo
