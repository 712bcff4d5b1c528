#pragma once

#include <QWidget>
#include <functional>

#include "platform/custom_control.h"

class QTimer;

namespace qrlogo::platform {

// A child window drawn by the program: paint events ask the painter for the dirty rectangle
// and copy it to the screen in one step, without erasing the background first.
class QtCustomControl final : public QWidget, public CustomControl {
public:
    explicit QtCustomControl(QWidget* parent);

    void SetPainter(ControlPainter* painter) override;
    Rect ClientRect() const override;
    void Invalidate(const Rect& dirty) override;
    void UpdateNow() override;
    void StartTimer(int intervalMs, std::function<void()> tick) override;
    void RequestRepaintFromAnyThread() override;
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    int DisplayBitsPerPixel() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ControlPainter* m_painter = nullptr;
    QTimer* m_timer = nullptr;
    std::function<void()> m_tick;
};

}  // namespace qrlogo::platform
