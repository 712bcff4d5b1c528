#include "platform/qt_custom_control.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QTimer>

namespace qrlogo::platform {

std::uint32_t ButtonFaceColour() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button).rgb() | 0xFF000000u;
}

QtCustomControl::QtCustomControl(QWidget* parent) : QWidget(parent) {
    // Every pixel comes from the painter: no background fill before paint events.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void QtCustomControl::SetPainter(ControlPainter* painter) { m_painter = painter; }

Rect QtCustomControl::ClientRect() const { return Rect{0, 0, width(), height()}; }

void QtCustomControl::Invalidate(const Rect& dirty) {
    const Rect clipped = dirty.Intersected(ClientRect());
    if (!clipped.IsEmpty()) update(clipped.left, clipped.top, clipped.width, clipped.height);
}

void QtCustomControl::UpdateNow() {
    // Pending update() regions are collected by the top-level window, which paints them when
    // its posted update request is handled: handle that request now.
    QCoreApplication::sendPostedEvents(window(), QEvent::UpdateRequest);
}

void QtCustomControl::StartTimer(int intervalMs, std::function<void()> tick) {
    m_tick = std::move(tick);
    if (m_timer == nullptr) {
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, [this] {
            if (m_tick) m_tick();
        });
    }
    m_timer->start(intervalMs);
}

void QtCustomControl::RequestRepaintFromAnyThread() {
    // Posted to the widget's own thread; a widget that is gone by then drops the request.
    QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
}

void QtCustomControl::SetVisible(bool visible) { setVisible(visible); }

bool QtCustomControl::IsVisible() const { return isVisible(); }

int QtCustomControl::DisplayBitsPerPixel() const { return depth(); }

void QtCustomControl::paintEvent(QPaintEvent* event) {
    if (m_painter == nullptr) return;
    const QRect box = event->region().boundingRect() & rect();
    if (box.isEmpty()) return;
    const PixelBuffer& pixels = m_painter->Paint(Rect{box.x(), box.y(), box.width(), box.height()});
    if (pixels.width < width() || pixels.height < height()) return;
    const QImage image(reinterpret_cast<const uchar*>(pixels.pixels.data()), pixels.width,
                       pixels.height, pixels.width * 4, QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(box.topLeft(), image, box);
}

}  // namespace qrlogo::platform
