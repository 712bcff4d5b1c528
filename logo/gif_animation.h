#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "app/decode/gif.h"
#include "platform/pixel_buffer.h"

namespace qrlogo {

// Draws a GIF's images one after another onto a canvas of its logical screen, as an animation
// shows them. Keeps a reference to the file, which must outlive it.
class GifComposer {
public:
    explicit GifComposer(const GifFile& gif);

    // Draws the next image in file order, the first again after the last, and returns its
    // index. The area of the image drawn before it is first put back as it was before that
    // image when that image's disposal is 2 or 3 (both restore); other disposals leave it.
    std::size_t DrawNext();
    // The image drawn last; meaningful once DrawNext has run.
    std::size_t Current() const { return m_current; }
    // How long the current image stays.
    int DelayMs() const;
    const PixelBuffer& Canvas() const { return m_canvas; }

private:
    const GifFile& m_gif;
    PixelBuffer m_canvas;
    std::size_t m_current = 0;
    std::size_t m_next = 0;
    // What lay under the last drawn image before it, kept while its disposal asks for it.
    Rect m_savedArea;
    PixelBuffer m_saved;
};

// How long an image stays: its delay in hundredths of a second, 50 ms when that is 0.
int ImageDelayMs(const GifImage& image);

// The animation's clock and sleep, injectable so that tests need not wait.
struct AnimationClock {
    std::function<std::int64_t()> nowMs;
    std::function<void(int milliseconds)> sleep;
};
AnimationClock SteadyClock();

// The animation loop, run on the animation's thread: the composer's current image was drawn
// at `drawnAtMs`; each image stays for its delay counted from the start of its drawing, the
// loop looks at the clock and at `stopRequested` at least every 10 ms, draws the next image
// under `canvasLock` and then calls `imageDrawn`. Returns once a stop is requested.
void PlayAnimation(GifComposer& composer, std::mutex& canvasLock,
                   const std::atomic<bool>& stopRequested, const AnimationClock& clock,
                   std::int64_t drawnAtMs, const std::function<void()>& imageDrawn);

// A multi-image GIF playing on a thread of its own. The thread touches nothing but the canvas
// (under the lock) and `imageDrawn`, which must be safe to call from any thread.
class GifAnimation {
public:
    GifAnimation(const GifFile& gif, std::function<void()> imageDrawn,
                 AnimationClock clock = SteadyClock());
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Draws the first image on the calling thread, so the canvas shows it at once, and plays
    // the rest on the animation's thread, looping for as long as it runs.
    void Start();
    // The stop handshake: asks the thread to stop and waits until it has.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // Calls `use(canvas, imageIndex)` while the animation cannot draw.
    template <typename Use>
    void ReadCanvas(Use&& use) const {
        const std::lock_guard lock(m_canvasLock);
        use(m_composer.Canvas(), m_composer.Current());
    }

private:
    GifComposer m_composer;
    std::function<void()> m_imageDrawn;
    AnimationClock m_clock;
    mutable std::mutex m_canvasLock;
    std::atomic<bool> m_stopRequested{false};
    std::thread m_thread;
};

}  // namespace qrlogo
