// A full repaint of the QR display area after 1, 100 and 1000 generate clicks, each of which
// left an opaque 200 x 200 picture at (0, 0). Painting starts from the topmost opaque
// picture, so the buried ones should cost nothing; the last line gives the 1000-object time
// over the 1-object time.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "qr/cartoon_box.h"
#include "tests/area/png_builder.h"

namespace qrlogo {
namespace {

class HeadlessControl : public platform::CustomControl {
public:
    void SetPainter(platform::ControlPainter*) override {}
    Rect ClientRect() const override { return Rect{0, 0, 208, 200}; }
    void Invalidate(const Rect&) override {}
    void UpdateNow() override {}
    void StartTimer(int, std::function<void()>) override {}
    void RequestRepaintFromAnyThread() override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    int DisplayBitsPerPixel() const override { return 32; }
};

std::uint32_t NoClock() { return 0; }

// A QR-like picture: 8-pixel modules of dark red and white.
ByteSet QrLikePng(int seed) {
    test::PngLayout layout;
    layout.width = layout.height = 200;
    for (int y = 0; y < 200; ++y) {
        layout.rows.emplace_back();
        for (int x = 0; x < 200; ++x) {
            const bool dark = ((x / 8) * 31 + (y / 8) * 17 + seed) % 3 == 0;
            const std::uint8_t red = dark ? 0xCC : 0xFF, other = dark ? 0x00 : 0xFF;
            layout.rows.back().insert(layout.rows.back().end(), {red, other, other});
        }
    }
    const std::vector<std::uint8_t> bytes = test::BuildPng(layout);
    return ByteSet::FromBytes(std::span(bytes));
}

void FullRepaint(benchmark::State& state) {
    HeadlessControl control;
    CartoonBox box(control, 0xFFD4D0C8, &NoClock);
    const ByteSet bytes = QrLikePng(0);
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        box.SetObjectPicture(box.AddPictureObject(nullptr, 0, 0, true), bytes);
    }
    for (auto _ : state) {
        const PixelBuffer& pixels = box.Paint(Rect{0, 0, 208, 200});
        benchmark::DoNotOptimize(pixels.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FullRepaint)->Arg(1)->Arg(100)->Arg(1000);

// The console output plus the time per iteration of each object count.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                m_seconds[run.run_name.args] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
    }
    std::map<std::string, double> m_seconds;
};

}  // namespace
}  // namespace qrlogo

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qrlogo::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto one = reporter.m_seconds.find("1"), many = reporter.m_seconds.find("1000");
    if (one == reporter.m_seconds.end() || many == reporter.m_seconds.end() || one->second <= 0) {
        std::printf("ratio 1000/1: unknown\n");
        return 1;
    }
    std::printf("ratio 1000/1: %.3f\n", many->second / one->second);
    return 0;
}
