#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/widgets.h"

namespace qrlogo {

// The main window's seven components, by their place in the layout (stacking order, top first).
enum ComponentIndex : std::size_t {
    k按钮1 = 0,
    k图片框1,
    k标签2,
    k动画框1,
    k通用对话框1,
    k按钮2,
    k编辑框1,
    kComponentCount
};

// The main window's layout: outer size, empty caption and the components in stacking order.
const platform::WindowLayout& MainWindowLayout();

// The caption set when the window is created: "二维码制作工具 BY Dorvo" in the code page,
// 23 bytes without a terminating NUL and without a zero byte inside.
inline constexpr std::array<std::uint8_t, 23> WindowCaption = {
    0xB6, 0xFE, 0xCE, 0xAC, 0xC2, 0xEB, 0xD6, 0xC6, 0xD7, 0xF7, 0xB9, 0xA4,  // 二维码制作工
    0xBE, 0xDF, ' ',  'B',  'Y',  ' ',  'D',  'o',  'r',  'v',  'o'};      // 具 BY Dorvo

}  // namespace qrlogo
