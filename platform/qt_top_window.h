#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/widgets.h"

namespace qrlogo::platform {

class QtCustomControl;

// The main window. Closing it hides it and marks it closed; its widgets stay alive, hidden,
// so that a handler still running when the window closes never touches freed objects.
class QtTopWindow final : public QWidget, public TopWindow {
public:
    explicit QtTopWindow(const WindowLayout& layout);
    ~QtTopWindow() override;

    void SetCaption(std::string_view codePageBytes) override;
    std::string Caption() const override;
    void SetClosedHandler(std::function<void()> handler) override;
    bool IsClosed() const override { return m_closed; }
    void ShowAndActivate() override;
    Rect OuterRect() const override;

    PushButton& ButtonAt(std::size_t index) override;
    Label& LabelAt(std::size_t index) override;
    EditBox& EditBoxAt(std::size_t index) override;
    CustomControl& CustomControlAt(std::size_t index) override;
    WindowHandle HandleAt(std::size_t index) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Component;
    void BuildComponents(const WindowLayout& layout);
    void SetTabOrder(const WindowLayout& layout);
    void KeepOuterSize();

    int m_outerWidth;
    int m_outerHeight;
    bool m_closed = false;
    QWidget* m_firstTabStop = nullptr;
    std::function<void()> m_closedHandler;
    std::vector<std::unique_ptr<Component>> m_components;
};

}  // namespace qrlogo::platform
