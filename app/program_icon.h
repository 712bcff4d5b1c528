#pragma once

#include "platform/pixel_buffer.h"

namespace qrlogo {

// The program's own icon, for the caption bar and the taskbar: a small QR code in the
// codes' dark red with a logo square over its centre.
const PixelBuffer& ProgramIcon();

}  // namespace qrlogo
