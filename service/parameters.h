#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "service/failure.h"
#include "service/limits.h"
#include "service/query.h"

namespace qrlogo::service {

enum class EcLevel { L, M, Q, H };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// What one picture request asks for, checked and ready to render.
struct RenderParameters {
    // The bytes to encode, already in the charset the code carries.
    std::string data;
    Rgb background{0xff, 0xff, 0xff};
    Rgb foreground{0x00, 0x00, 0x00};
    int width = kDefaultWidth;
    // Absent: the strongest level the data fits.
    std::optional<EcLevel> level;
    int margin = kDefaultMargin;
    // Put the UTF-8 designator in front of the data.
    bool eci = false;
};

// Checks the parameters of a picture request:
//   text     the bytes to encode (default empty);
//   charset  gb18030 (default: converted to UTF-8), utf-8 (checked, kept) or raw (kept as is);
//   bg, fg   RRGGBB in hex;  w  side in pixels;  el  L, M, Q or H;  m  quiet zone in modules;
//   eci      0 or 1.
// Names not listed are ignored. A bad value is a BadParameter failure naming the parameter.
Outcome<RenderParameters> ReadRenderParameters(const Query& query);

}  // namespace qrlogo::service
