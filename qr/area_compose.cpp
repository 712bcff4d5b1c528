#include "qr/area_compose.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace qrlogo {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;
constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// Subtracting rectangles splits the uncovered part into pieces; past this many the walk
// stops subtracting. That only costs some overdraw, since the covering frame is still
// painted later and replaces what lies under it.
constexpr std::size_t kMaxUncoveredPieces = 64;

std::uint8_t BlendChannel(int destination, int source, int weight) {
    const int product = (source - destination) * weight;
    // (|x| + 127) / 255 rounds |x| / 255 to nearest; an exact half cannot occur, as 2x is
    // even and an odd multiple of 255 is not.
    const int step = product >= 0 ? (product + 127) / 255 : -((-product + 127) / 255);
    return static_cast<std::uint8_t>(destination + step);
}

void CopyRows(PixelBuffer& canvas, const PixelBuffer& from, const Rect& r) {
    for (int y = r.top; y < r.Bottom(); ++y) {
        std::copy_n(from.Row(y) + r.left, r.width, canvas.Row(y) + r.left);
    }
}

// Appends `piece` minus `cut` (up to four rectangles) to `out`.
void Subtract(const Rect& piece, const Rect& cut, std::vector<Rect>& out) {
    const Rect overlap = piece.Intersected(cut);
    if (overlap.IsEmpty()) {
        out.push_back(piece);
        return;
    }
    const auto add = [&](Rect r) {
        if (!r.IsEmpty()) out.push_back(r);
    };
    add({piece.left, piece.top, piece.width, overlap.top - piece.top});
    add({piece.left, overlap.Bottom(), piece.width, piece.Bottom() - overlap.Bottom()});
    add({piece.left, overlap.top, overlap.left - piece.left, overlap.height});
    add({overlap.Right(), overlap.top, piece.Right() - overlap.Right(), overlap.height});
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    return Rect{l, t, std::max(a.Right(), b.Right()) - l, std::max(a.Bottom(), b.Bottom()) - t};
}

bool AnyMeets(const std::vector<Rect>& pieces, const Rect& r) {
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const Rect& piece) { return !piece.Intersected(r).IsEmpty(); });
}

struct Draw {
    const PictureObject* object;
    Rect area;
};

}  // namespace

std::uint32_t BlendPixel(std::uint32_t destination, std::uint32_t source) {
    const std::uint32_t t = source >> 24;
    if (t == 0) return source | kOpaque;
    if (t == 255) return destination | kOpaque;
    const int weight = 255 - static_cast<int>(t);
    return Argb(BlendChannel(RedOf(destination), RedOf(source), weight),
                BlendChannel(GreenOf(destination), GreenOf(source), weight),
                BlendChannel(BlueOf(destination), BlueOf(source), weight));
}

void BlendFrame(PixelBuffer& canvas, const Rect& clip, const AreaFrame& frame, int left, int top) {
    const Rect placed{left, top, frame.pixels.width, frame.pixels.height};
    const Rect r = placed.Intersected(clip).Intersected(Rect{0, 0, canvas.width, canvas.height});
    for (int y = r.top; y < r.Bottom(); ++y) {
        const std::uint32_t* source = frame.pixels.Row(y - top) + (r.left - left);
        std::uint32_t* target = canvas.Row(y) + r.left;
        if (frame.opaque) {
            std::transform(source, source + r.width, target,
                           [](std::uint32_t s) { return s | kOpaque; });
            continue;
        }
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t s = source[x];
            if (frame.colourKey && (s & kColourMask) == *frame.colourKey) continue;
            target[x] = BlendPixel(target[x], s);
        }
    }
}

std::vector<Rect> ObjectExtents(std::span<const PictureObject> objects) {
    std::vector<Rect> extents;
    extents.reserve(objects.size());
    Rect extent;
    for (const PictureObject& o : objects) {
        if (o.visible) extent = Union(extent, o.Bounds());
        extents.push_back(extent);
    }
    return extents;
}

void ComposeArea(PixelBuffer& canvas, const PixelBuffer& background, const Rect& dirty,
                 std::span<const PictureObject> objects, std::span<const Rect> extents) {
    const Rect area = dirty.Intersected(Rect{0, 0, canvas.width, canvas.height});
    if (area.IsEmpty()) return;

    // Walk from the top down, keeping the part of `area` that no opaque frame has covered
    // yet; each object paints only where it meets that part.
    std::vector<Rect> uncovered{area};
    std::vector<Rect> next;
    std::vector<Draw> draws;
    const bool haveExtents = extents.size() == objects.size();
    for (auto it = objects.rbegin(); it != objects.rend() && !uncovered.empty(); ++it) {
        const auto index = static_cast<std::size_t>(objects.rend() - it - 1);
        if (haveExtents && !AnyMeets(uncovered, extents[index])) break;
        const AreaFrame* frame = it->CurrentFrame();
        if (!it->visible || !frame) continue;
        const Rect bounds = it->Bounds();
        if (bounds.Intersected(area).IsEmpty()) continue;
        for (const Rect& piece : uncovered) {
            const Rect part = piece.Intersected(bounds);
            if (!part.IsEmpty()) draws.push_back({&*it, part});
        }
        if (frame->opaque && uncovered.size() <= kMaxUncoveredPieces) {
            next.clear();
            for (const Rect& piece : uncovered) Subtract(piece, bounds, next);
            uncovered.swap(next);
        }
    }

    for (const Rect& piece : uncovered) CopyRows(canvas, background, piece);
    for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
        const Rect bounds = it->object->Bounds();
        BlendFrame(canvas, it->area, *it->object->CurrentFrame(), bounds.left, bounds.top);
    }
}

}  // namespace qrlogo
