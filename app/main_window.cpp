#include "app/main_window.h"

#include <memory>

#include "app/fatal_error.h"
#include "app/handlers.h"
#include "app/layout.h"
#include "logo/common_dlg.h"
#include "logo/pic_box.h"
#include "platform/process.h"
#include "platform/widgets.h"
#include "qr/cartoon_box.h"

namespace qrlogo {
namespace {

// The window and the program's side of its components. The platform window is declared
// first so that it is destroyed last: the picture box stops its animation, and the display
// area its use of the control, before their native controls go.
struct MainWindowParts {
    std::unique_ptr<platform::TopWindow> window;
    std::unique_ptr<PicBox> picBox;
    std::unique_ptr<CartoonBox> cartoonBox;
    std::unique_ptr<CommonDlg> commonDlg;
};

std::unique_ptr<MainWindowParts> s_parts;

MainWindowParts& LiveParts(const char* component) {
    if (!MainWindowExists()) {
        ReportFatalError(std::string(component) + " was used after the main window was destroyed");
    }
    return *s_parts;
}

}  // namespace

void OpenMainWindow() {
    platform::SuspendEventDelivery();
    auto parts = std::make_unique<MainWindowParts>();
    parts->window = platform::CreateTopWindow(MainWindowLayout());
    if (!parts->window) ReportFatalError("the main window could not be created");
    parts->picBox = std::make_unique<PicBox>(parts->window->CustomControlAt(k图片框1));
    parts->cartoonBox = std::make_unique<CartoonBox>(parts->window->CustomControlAt(k动画框1));
    parts->commonDlg = std::make_unique<CommonDlg>();
    parts->window->ButtonAt(k按钮1).SetClickedHandler(OnAddLogoClicked);
    parts->window->ButtonAt(k按钮2).SetClickedHandler(OnGenerateClicked);
    parts->window->SetClosedHandler([] { platform::RequestQuit(0); });
    s_parts = std::move(parts);
    platform::ResumeEventDelivery();

    OnMainWindowCreated();
    if (MainWindowExists()) s_parts->window->ShowAndActivate();
}

void CloseMainWindowForGood() { s_parts.reset(); }

bool MainWindowExists() { return s_parts != nullptr && !s_parts->window->IsClosed(); }

platform::TopWindow& MainWindow() { return *LiveParts("the main window").window; }
platform::PushButton& 按钮1() { return LiveParts("按钮1").window->ButtonAt(k按钮1); }
PicBox& 图片框1() { return *LiveParts("图片框1").picBox; }
platform::Label& 标签2() { return LiveParts("标签2").window->LabelAt(k标签2); }
CartoonBox& 动画框1() { return *LiveParts("动画框1").cartoonBox; }
CommonDlg& 通用对话框1() { return *LiveParts("通用对话框1").commonDlg; }
platform::PushButton& 按钮2() { return LiveParts("按钮2").window->ButtonAt(k按钮2); }
platform::EditBox& 编辑框1() { return LiveParts("编辑框1").window->EditBoxAt(k编辑框1); }

platform::WindowHandle WindowOfControl(std::size_t index) {
    return LiveParts("a component's window").window->HandleAt(index);
}

}  // namespace qrlogo
