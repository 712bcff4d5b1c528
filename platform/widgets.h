#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/custom_control.h"
#include "platform/pixel_buffer.h"
#include "platform/window_capture.h"

namespace qrlogo::platform {

// The kinds of component a window layout holds. The file-open dialog component has no
// window of its own: the platform makes nothing for it.
enum class ControlKind { Button, PicBox, Label, CartoonBox, CommonDlg, EditBox };

// One component of a window layout. Texts are code-page bytes.
struct ControlLayout {
    std::string_view name;  // the component's name, for the native window's object name
    ControlKind kind;
    Rect rect;  // outer rectangle in the main window's client coordinates
    bool visibleAtStart;
    bool tabStop;
    int tabOrderKey;
    std::string_view text;  // button or label text
};

struct WindowLayout {
    int outerWidth;
    int outerHeight;
    std::string_view caption;
    const PixelBuffer* icon;                  // the program's icon, or none
    std::span<const ControlLayout> controls;  // in stacking order, top first
};

class PushButton {
public:
    virtual ~PushButton() = default;
    // The handler runs on a click (mouse released over the button, or the space bar while it
    // has the focus) unless event delivery is suspended.
    virtual void SetClickedHandler(std::function<void()> handler) = 0;
    virtual std::string Text() const = 0;
};

class Label {
public:
    virtual ~Label() = default;
    virtual std::string Text() const = 0;
};

class EditBox {
public:
    virtual ~EditBox() = default;
    // Code-page bytes; a line break is CR LF.
    virtual std::string Content() const = 0;
    virtual void SetContent(std::string_view codePageBytes) = 0;
};

// The main window: a fixed-size top-level window with its child controls.
class TopWindow {
public:
    virtual ~TopWindow() = default;

    virtual void SetCaption(std::string_view codePageBytes) = 0;
    virtual std::string Caption() const = 0;
    // Runs once when the window is closed (close button, system menu, Alt+F4 or Esc). The
    // window then no longer exists for the program; its native objects live on, hidden, until
    // the TopWindow is destroyed.
    virtual void SetClosedHandler(std::function<void()> handler) = 0;
    virtual bool IsClosed() const = 0;
    // Shows the window normally and activates it; the focus goes to the first tab stop.
    virtual void ShowAndActivate() = 0;
    // The outer rectangle in screen coordinates, frame included.
    virtual Rect OuterRect() const = 0;

    // The components by their index in the layout; asking for a component of another kind
    // is a programming error.
    virtual PushButton& ButtonAt(std::size_t index) = 0;
    virtual Label& LabelAt(std::size_t index) = 0;
    virtual EditBox& EditBoxAt(std::size_t index) = 0;
    virtual CustomControl& CustomControlAt(std::size_t index) = 0;
    virtual WindowHandle HandleAt(std::size_t index) const = 0;
};

// Creates the window hidden, centred on the primary screen, with every component as the
// layout says (created hidden, stacked, then shown where the layout says so). None when the
// toolkit cannot make it.
std::unique_ptr<TopWindow> CreateTopWindow(const WindowLayout& layout);

}  // namespace qrlogo::platform
