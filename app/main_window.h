#pragma once

#include <cstddef>

#include "platform/window_capture.h"

namespace qrlogo {

class PicBox;      // logo/pic_box.h: the logo picture box
class CartoonBox;  // qr/cartoon_box.h: the QR display area
class CommonDlg;   // logo/common_dlg.h: the file-open dialog component
namespace platform {
class TopWindow;
class PushButton;
class Label;
class EditBox;
}  // namespace platform

// Builds the main window and its seven components from the layout, fires its created event
// and shows it. Ends the program through ReportFatalError when it cannot be built.
void OpenMainWindow();
// Destroys the window and its components; called once the message loop has ended.
void CloseMainWindowForGood();
// False from the moment the window is closed.
bool MainWindowExists();

// The main window and its components by name. Asking for one after the window was closed
// ends the program through ReportFatalError.
platform::TopWindow& MainWindow();
platform::PushButton& 按钮1();
PicBox& 图片框1();
platform::Label& 标签2();
CartoonBox& 动画框1();
CommonDlg& 通用对话框1();
platform::PushButton& 按钮2();
platform::EditBox& 编辑框1();

// The native window of a component (by its layout index, app/layout.h), for the screen copy.
platform::WindowHandle WindowOfControl(std::size_t componentIndex);

}  // namespace qrlogo
