#pragma once

#include "app/text.h"

namespace qrlogo {

// The path of the chosen logo, the program's only global variable: absent at start, written
// by the logo selection, read by the generate click, released by the exit routine.
extern Text LogoPath;

}  // namespace qrlogo
