#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <map>

#include "platform/qt_window.h"
#include "platform/window_capture.h"

namespace qrlogo::platform {
namespace {

// Handles stand for widgets the way native window handles do: a handle stays valid while
// its widget lives and the main window it belongs to has not been closed.
struct Registry {
    std::map<WindowHandle, QPointer<QWidget>> windows;
    WindowHandle next = 1;
    QPointer<QWidget> mainWindow;
    const bool* mainWindowClosed = nullptr;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

QWidget* LiveWidget(WindowHandle window) {
    auto& registry = TheRegistry();
    const auto found = registry.windows.find(window);
    if (found == registry.windows.end() || found->second.isNull()) return nullptr;
    QWidget* widget = found->second.data();
    if (widget->window() == registry.mainWindow && registry.mainWindowClosed != nullptr &&
        *registry.mainWindowClosed) {
        return nullptr;
    }
    return widget;
}

}  // namespace

QWidget* MainWindowWidget() { return TheRegistry().mainWindow.data(); }

std::uintptr_t RegisterWindow(QWidget* widget) {
    auto& registry = TheRegistry();
    const WindowHandle handle = registry.next++;
    registry.windows[handle] = widget;
    return handle;
}

void SetMainWindowWidget(QWidget* widget, const bool* closedFlag) {
    TheRegistry().mainWindow = widget;
    TheRegistry().mainWindowClosed = closedFlag;
}

bool IsWindow(WindowHandle window) { return LiveWidget(window) != nullptr; }

std::optional<PixelBuffer> CaptureWindowPixels(WindowHandle window) {
    QWidget* widget = LiveWidget(window);
    if (widget == nullptr || widget->width() <= 0 || widget->height() <= 0) return std::nullopt;
    // The top-level window renders the rectangle with every child in its stacking order, so
    // a sibling lying above the control appears in the copy; windows of other programs do not.
    QWidget* top = widget->window();
    const QRect area(widget->mapTo(top, QPoint(0, 0)), widget->size());
    QImage image(area.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::black);
    top->render(&image, QPoint(0, 0), QRegion(area),
                QWidget::DrawWindowBackground | QWidget::DrawChildren);
    if (image.isNull()) return std::nullopt;
    PixelBuffer pixels(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::uint32_t* out = pixels.Row(y);
        for (int x = 0; x < image.width(); ++x) out[x] = row[x] | 0xFF000000u;
    }
    return pixels;
}

}  // namespace qrlogo::platform
