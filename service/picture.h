#pragma once

#include <string>

#include "service/failure.h"
#include "service/parameters.h"
#include "service/qr_encode.h"

namespace qrlogo::service {

// Where the code lies in a square picture of `width` pixels.
struct PictureLayout {
    int moduleSize = 0;  // pixels per module side, a whole number
    int codeStart = 0;   // pixels left of (and above) the first module
};

// Modules are floor(width / (modules + 2 margin)) pixels; the pixels left over widen the quiet
// zone, split evenly (an odd one goes right and bottom), so the code stays centred and is never
// resampled. WidthTooSmall when not even one pixel per module fits.
Outcome<PictureLayout> LayOutPicture(int modules, int margin, int width);

// Equal for parameters that give the same picture, different otherwise.
std::string PictureKey(const RenderParameters& parameters);

// The PNG of the code the parameters ask for.
Outcome<std::string> RenderQrPng(const RenderParameters& parameters);

}  // namespace qrlogo::service
