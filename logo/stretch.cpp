#include "logo/stretch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace qrlogo {
namespace {

// The source pixels that make up one target pixel along one axis, with their weights
// (summing to 1).
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Taps> AxisTaps(int sourceLength, int targetLength) {
    std::vector<Taps> taps(static_cast<std::size_t>(targetLength));
    const double scale = static_cast<double>(sourceLength) / targetLength;
    for (int d = 0; d < targetLength; ++d) {
        Taps& t = taps[static_cast<std::size_t>(d)];
        if (scale > 1.0) {
            // Shrinking: the target pixel covers [begin, end) of the source; each source pixel
            // counts by how much of it lies inside.
            const double begin = d * scale;
            const double end = begin + scale;
            t.first = static_cast<int>(std::floor(begin));
            const int last = std::min(sourceLength - 1, static_cast<int>(std::ceil(end)) - 1);
            for (int s = t.first; s <= last; ++s) {
                const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
                t.weights.push_back(static_cast<float>(covered / scale));
            }
        } else {
            // Enlarging (or the same size): linear interpolation between the two source pixels
            // around the target pixel's centre, held at the edges.
            const double centre = (d + 0.5) * scale - 0.5;
            const int left = static_cast<int>(std::floor(centre));
            const double fraction = centre - left;
            if (left < 0) {
                t.first = 0;
                t.weights = {1.0f};
            } else if (left >= sourceLength - 1) {
                t.first = sourceLength - 1;
                t.weights = {1.0f};
            } else {
                t.first = left;
                t.weights = {static_cast<float>(1.0 - fraction), static_cast<float>(fraction)};
            }
        }
    }
    return taps;
}

using Channels = std::array<float, 4>;

Channels Unpack(std::uint32_t p) {
    return {static_cast<float>(AlphaOf(p)), static_cast<float>(RedOf(p)),
            static_cast<float>(GreenOf(p)), static_cast<float>(BlueOf(p))};
}

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

bool HasNoPixels(const PixelBuffer& source, int width, int height) {
    return source.IsEmpty() || width <= 0 || height <= 0;
}

}  // namespace

PixelBuffer StretchSmooth(const PixelBuffer& source, int width, int height) {
    if (HasNoPixels(source, width, height))
        return PixelBuffer(std::max(width, 0), std::max(height, 0));
    const std::vector<Taps> across = AxisTaps(source.width, width);
    const std::vector<Taps> down = AxisTaps(source.height, height);

    // Horizontal pass into float rows of the target width, then the vertical pass.
    std::vector<Channels> rows(static_cast<std::size_t>(width) * source.height);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = source.Row(y);
        for (int x = 0; x < width; ++x) {
            const Taps& t = across[static_cast<std::size_t>(x)];
            Channels sum{};
            for (std::size_t i = 0; i < t.weights.size(); ++i) {
                const Channels c = Unpack(in[t.first + static_cast<int>(i)]);
                for (int k = 0; k < 4; ++k) sum[k] += c[k] * t.weights[i];
            }
            rows[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }

    PixelBuffer result(width, height);
    for (int y = 0; y < height; ++y) {
        const Taps& t = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Channels sum{};
            for (std::size_t i = 0; i < t.weights.size(); ++i) {
                const Channels& c =
                    rows[static_cast<std::size_t>(t.first + static_cast<int>(i)) * width + x];
                for (int k = 0; k < 4; ++k) sum[k] += c[k] * t.weights[i];
            }
            result.At(x, y) = Argb(ToByte(sum[1]), ToByte(sum[2]), ToByte(sum[3]), ToByte(sum[0]));
        }
    }
    return result;
}

PixelBuffer StretchNearest(const PixelBuffer& source, int width, int height) {
    if (HasNoPixels(source, width, height))
        return PixelBuffer(std::max(width, 0), std::max(height, 0));
    PixelBuffer result(width, height);
    for (int y = 0; y < height; ++y) {
        const auto sy = static_cast<int>((2 * std::int64_t{y} + 1) * source.height /
                                         (2 * std::int64_t{height}));
        const std::uint32_t* in = source.Row(sy);
        std::uint32_t* out = result.Row(y);
        for (int x = 0; x < width; ++x) {
            out[x] = in[(2 * std::int64_t{x} + 1) * source.width / (2 * std::int64_t{width})];
        }
    }
    return result;
}

PixelBuffer FlattenOnto(const PixelBuffer& picture, std::uint32_t background) {
    PixelBuffer result = picture;
    for (std::uint32_t& p : result.pixels) {
        const unsigned a = AlphaOf(p);
        if (a == 255) continue;
        const auto mix = [a](unsigned front, unsigned back) {
            return static_cast<std::uint8_t>((front * a + back * (255 - a) + 127) / 255);
        };
        p = Argb(mix(RedOf(p), RedOf(background)), mix(GreenOf(p), GreenOf(background)),
                 mix(BlueOf(p), BlueOf(background)));
    }
    return result;
}

}  // namespace qrlogo
