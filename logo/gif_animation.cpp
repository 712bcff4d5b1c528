#include "logo/gif_animation.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace qrlogo {
namespace {

constexpr std::uint32_t kWhite = Argb(0xFF, 0xFF, 0xFF);
// How often the waiting animation looks at the clock and at a stop request.
constexpr int kPollMs = 10;
constexpr int kZeroDelayMs = 50;

// As for a still GIF: without any colour table an index is a grey level, and an index beyond
// the table in force draws black.
std::uint32_t ColourOf(const std::vector<GifColour>& table, int index) {
    if (table.empty()) {
        const auto level = static_cast<std::uint8_t>(index);
        return Argb(level, level, level);
    }
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return Argb(0, 0, 0);
    const GifColour& c = table[static_cast<std::size_t>(index)];
    return Argb(c.r, c.g, c.b);
}

void CopyArea(const PixelBuffer& from, int fromLeft, int fromTop, PixelBuffer& to, int toLeft,
              int toTop, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = from.Row(fromTop + y) + fromLeft;
        std::copy(in, in + width, to.Row(toTop + y) + toLeft);
    }
}

bool Restores(int disposal) { return disposal == 2 || disposal == 3; }

}  // namespace

GifComposer::GifComposer(const GifFile& gif)
    : m_gif(gif), m_canvas(gif.screenWidth, gif.screenHeight, kWhite) {}

std::size_t GifComposer::DrawNext() {
    if (!m_savedArea.IsEmpty()) {
        CopyArea(m_saved, 0, 0, m_canvas, m_savedArea.left, m_savedArea.top, m_savedArea.width,
                 m_savedArea.height);
        m_savedArea = Rect{};
    }
    if (m_gif.images.empty()) return m_current;

    m_current = m_next;
    m_next = (m_next + 1) % m_gif.images.size();
    const GifImage& image = m_gif.images[m_current];
    // Images may reach beyond the logical screen; only the part on the canvas is drawn.
    const Rect area = Rect{image.left, image.top, image.width, image.height}.Intersected(
        Rect{0, 0, m_canvas.width, m_canvas.height});
    if (area.IsEmpty() ||
        image.indices.size() < static_cast<std::size_t>(image.width) * image.height) {
        return m_current;
    }
    if (Restores(image.disposal)) {
        m_saved = PixelBuffer(area.width, area.height);
        CopyArea(m_canvas, area.left, area.top, m_saved, 0, 0, area.width, area.height);
        m_savedArea = area;
    }

    // Transparency is tested by colour: every index whose colour equals the transparent
    // index's colour is left out, not only that index.
    const bool transparent = image.transparentIndex >= 0;
    const std::uint32_t transparentColour = ColourOf(image.colourTable, image.transparentIndex);
    for (int y = area.top; y < area.Bottom(); ++y) {
        const std::uint8_t* row =
            image.indices.data() + static_cast<std::size_t>(y - image.top) * image.width;
        std::uint32_t* out = m_canvas.Row(y);
        for (int x = area.left; x < area.Right(); ++x) {
            const std::uint32_t colour = ColourOf(image.colourTable, row[x - image.left]);
            if (transparent && colour == transparentColour) continue;
            out[x] = colour;
        }
    }
    return m_current;
}

int GifComposer::DelayMs() const {
    return m_gif.images.empty() ? kZeroDelayMs : ImageDelayMs(m_gif.images[m_current]);
}

int ImageDelayMs(const GifImage& image) {
    return image.delayCentiseconds == 0 ? kZeroDelayMs : image.delayCentiseconds * 10;
}

AnimationClock SteadyClock() {
    return AnimationClock{[] {
                              return std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                  .count();
                          },
                          [](int milliseconds) {
                              std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
                          }};
}

void PlayAnimation(GifComposer& composer, std::mutex& canvasLock,
                   const std::atomic<bool>& stopRequested, const AnimationClock& clock,
                   std::int64_t drawnAtMs, const std::function<void()>& imageDrawn) {
    std::int64_t startedAt = drawnAtMs;
    for (;;) {
        const int delay = composer.DelayMs();
        for (;;) {
            if (stopRequested) return;
            const std::int64_t elapsed = clock.nowMs() - startedAt;
            if (elapsed >= delay) break;
            clock.sleep(static_cast<int>(std::min<std::int64_t>(kPollMs, delay - elapsed)));
        }
        startedAt = clock.nowMs();
        {
            const std::lock_guard lock(canvasLock);
            composer.DrawNext();
        }
        imageDrawn();
    }
}

GifAnimation::GifAnimation(const GifFile& gif, std::function<void()> imageDrawn,
                           AnimationClock clock)
    : m_composer(gif), m_imageDrawn(std::move(imageDrawn)), m_clock(std::move(clock)) {}

GifAnimation::~GifAnimation() { Stop(); }

void GifAnimation::Start() {
    if (m_thread.joinable()) return;
    const std::int64_t drawnAt = m_clock.nowMs();
    {
        const std::lock_guard lock(m_canvasLock);
        m_composer.DrawNext();
    }
    m_stopRequested = false;
    m_thread = std::thread([this, drawnAt] {
        PlayAnimation(m_composer, m_canvasLock, m_stopRequested, m_clock, drawnAt, m_imageDrawn);
    });
}

void GifAnimation::Stop() {
    if (!m_thread.joinable()) return;
    m_stopRequested = true;
    m_thread.join();
}

}  // namespace qrlogo
