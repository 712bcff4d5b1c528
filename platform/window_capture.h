#pragma once

#include <cstdint>
#include <optional>

#include "platform/pixel_buffer.h"

namespace qrlogo::platform {

// A native window of the program: its handle in the platform's registry, 0 for none.
using WindowHandle = std::uintptr_t;

// True while the handle names a window of the program that has not been destroyed.
bool IsWindow(WindowHandle window);

// What the screen shows over the window's whole outer rectangle, as opaque pixels
// (0xFFRRGGBB, rows from the top) at device pixel ratio 1: the window and every sibling that
// lies above it there. None when no copy can be made.
std::optional<PixelBuffer> CaptureWindowPixels(WindowHandle window);

}  // namespace qrlogo::platform
