#pragma once

#include "app/text.h"
#include "platform/pixel_buffer.h"
#include "platform/window_capture.h"

namespace qrlogo {

// The complete bytes of a 24-bit uncompressed Windows BMP file of the pixels: a 14-byte file
// header, a 40-byte info header, no colour table, then the rows bottom-up, each padded with
// zero bytes to a multiple of 4. Alpha is dropped. Empty for an empty buffer, one whose pixel
// count does not match its size, or one too large for the file's 32-bit sizes.
ByteSet BmpFileFromPixels(const PixelBuffer& pixels);

// What the screen shows over the window's whole outer rectangle, as a BMP file image of the
// window's own size. Empty when the handle names no window or no copy can be made.
ByteSet CaptureWindowBitmap(platform::WindowHandle window);

}  // namespace qrlogo
