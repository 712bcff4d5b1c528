#include "app/layout.h"

#include "app/program_icon.h"

namespace qrlogo {
namespace {

using platform::ControlKind;
using platform::ControlLayout;

// Texts in the code page (GB18030).
constexpr std::string_view k添加LOGO = "\xCC\xED\xBC\xD3LOGO";
constexpr std::string_view k生成并保存二维码 =
    "\xC9\xFA\xB3\xC9\xB2\xA2\xB1\xA3\xB4\xE6\xB6\xFE\xCE\xAC\xC2\xEB";
constexpr std::string_view k文本内容 = "\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD";

// Stacking order, top first. Every tab-order key is 0, so the tab cycle runs from the bottom
// of the table upward: 编辑框1, 按钮2, 动画框1, 按钮1.
constexpr std::array<ControlLayout, kComponentCount> kComponents = {{
    // name              kind                     left, top, width, height   visible tab  key text
    {"按钮1", ControlKind::Button, {208, 128, 152, 32}, true, true, 0, k添加LOGO},
    {"图片框1", ControlKind::PicBox, {64, 96, 72, 32}, false, false, 0, ""},
    {"标签2", ControlKind::Label, {208, 0, 80, 24}, true, false, 0, k文本内容},
    {"动画框1", ControlKind::CartoonBox, {0, 8, 208, 200}, true, true, 0, ""},
    {"通用对话框1", ControlKind::CommonDlg, {144, 136, 26, 26}, false, false, 0, ""},
    {"按钮2", ControlKind::Button, {208, 176, 152, 32}, true, true, 0, k生成并保存二维码},
    {"编辑框1", ControlKind::EditBox, {208, 24, 160, 88}, true, true, 0, ""},
}};

}  // namespace

const platform::WindowLayout& MainWindowLayout() {
    static const platform::WindowLayout layout{
        .outerWidth = 380,
        .outerHeight = 250,
        .caption = "",
        .icon = &ProgramIcon(),
        .controls = kComponents,
    };
    return layout;
}

}  // namespace qrlogo
