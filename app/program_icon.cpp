#include "app/program_icon.h"

#include <array>
#include <string_view>

namespace qrlogo {
namespace {

// 16 × 16 modules, drawn 2 × 2 pixels each: '#' dark red, 'o' the logo, '.' white.
constexpr std::array<std::string_view, 16> kModules = {
    "................",  //
    ".#######..#.###.",  //
    ".#.....#.#..#...",  //
    ".#.###.#..#.###.",  //
    ".#.###.#.##.#.#.",  //
    ".#.....#..#.###.",  //
    ".#######.#.#.#..",  //
    "......oooo......",  //
    ".#.##.oooo#.#.#.",  //
    "..#...oooo.#.#..",  //
    ".#######..#.#.#.",  //
    ".#.....#.#.#..#.",  //
    ".#.###.#..##.#..",  //
    ".#.###.#.#..#.#.",  //
    ".#.....#..#.#.#.",  //
    ".#######.#.#.##.",
};

PixelBuffer DrawIcon() {
    PixelBuffer icon(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const char module = kModules[y / 2][x / 2];
            icon.At(x, y) = module == '#'   ? Argb(0xCC, 0x00, 0x00)
                            : module == 'o' ? Argb(0x20, 0x60, 0xC0)
                                            : Argb(0xFF, 0xFF, 0xFF);
        }
    }
    return icon;
}

}  // namespace

const PixelBuffer& ProgramIcon() {
    static const PixelBuffer icon = DrawIcon();
    return icon;
}

}  // namespace qrlogo
