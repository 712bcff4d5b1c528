// Our decoders against stb_image on the same bytes in the same run, and our JPEG path against
// a plain libjpeg decode. Prints the ratios of CPU time after the table, as other work on the
// machine disturbs wall-clock times more.
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <map>
#include <string>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace {

using qrlogo::test::Bytes;

// A picture with smooth areas and edges, so that compressed formats have something to do.
std::uint8_t Sample(int x, int y, int channel) {
    return static_cast<std::uint8_t>((x * (channel + 1) + y * 3 + ((x / 64 + y / 64) % 2) * 90) &
                                     0xFF);
}

Bytes Bmp24() {
    qrlogo::test::BmpSpec spec{.width = 1920, .height = 1080, .bits = 24};
    for (int y = 0; y < spec.height; ++y) {
        Bytes row(1920 * 3);
        for (int x = 0; x < 1920; ++x) {
            for (int c = 0; c < 3; ++c) row[x * 3 + c] = Sample(x, y, c);
        }
        spec.rows.push_back(std::move(row));
    }
    return qrlogo::test::MakeBmp(spec);
}

Bytes Bmp8() {
    qrlogo::test::BmpSpec spec{.width = 1920, .height = 1080, .bits = 8};
    for (int i = 0; i < 256; ++i) {
        spec.table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i * 7), 0});
    }
    for (int y = 0; y < spec.height; ++y) {
        Bytes row(1920);
        for (int x = 0; x < 1920; ++x) row[x] = Sample(x, y, 0);
        spec.rows.push_back(std::move(row));
    }
    return qrlogo::test::MakeBmp(spec);
}

Bytes Gif500() {
    qrlogo::test::GifSpec spec{.width = 500, .height = 500};
    for (int i = 0; i < 256; ++i) {
        spec.globalTable.push_back(
            {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2), 200});
    }
    qrlogo::test::GifFrame frame{.width = 500, .height = 500};
    for (int y = 0; y < 500; ++y) {
        for (int x = 0; x < 500; ++x)
            frame.indices.push_back(
                static_cast<std::uint8_t>(Sample(x, y, 0) / 16 * 16 + (x * y) % 7));
    }
    spec.frames.push_back(std::move(frame));
    return qrlogo::test::MakeGif(spec);
}

Bytes Jpeg1080() {
    Bytes rgb(1920 * 1080 * 3);
    for (int y = 0; y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x) {
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * 1920 + x) * 3 + c] = Sample(x, y, c);
        }
    }
    return qrlogo::test::MakeJpeg(1920, 1080, 3, rgb, 90);
}

const Bytes& Input(const std::string& name) {
    static const std::map<std::string, Bytes> inputs = {
        {"bmp24", Bmp24()}, {"bmp8", Bmp8()}, {"gif", Gif500()}, {"jpeg", Jpeg1080()}};
    return inputs.at(name);
}

void Ours(benchmark::State& state, const std::string& name) {
    const Bytes& bytes = Input(name);
    for (auto _ : state) {
        auto picture = qrlogo::DecodePicture(bytes);
        if (!picture) state.SkipWithError("no picture");
        benchmark::DoNotOptimize(picture);
    }
}

// stb gives expanded colours for a GIF, so ours is timed up to the drawn screen there too.
void OursGifShown(benchmark::State& state, const std::string& name) {
    const Bytes& bytes = Input(name);
    for (auto _ : state) {
        auto picture = qrlogo::DecodePicture(bytes);
        if (!picture) state.SkipWithError("no picture");
        auto shown = qrlogo::RenderPicture(*picture);
        benchmark::DoNotOptimize(shown);
    }
}

void Stb(benchmark::State& state, const std::string& name) {
    const Bytes& bytes = Input(name);
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels =
            stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 3);
        if (pixels == nullptr) state.SkipWithError("stb gave no picture");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void PlainLibjpeg(benchmark::State& state, const std::string& name) {
    const Bytes& bytes = Input(name);
    for (auto _ : state) {
        // A fresh buffer each time, as any decode that hands out its pixels makes.
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr error;
        cinfo.err = jpeg_std_error(&error);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        auto* out = static_cast<std::uint8_t*>(
            std::malloc(std::size_t{cinfo.output_width} * cinfo.output_height * 3));
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = out + std::size_t{cinfo.output_scanline} * cinfo.output_width * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
}

// Keeps each benchmark's time per iteration for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) m_seconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        const struct {
            const char *label, *ours, *other;
            double target;
        } ratios[] = {
            {"BMP 24-bit 1920x1080, ours/stb", "ours/bmp24", "stb/bmp24", 1.0},
            {"BMP 8-bit 1920x1080, ours/stb", "ours/bmp8", "stb/bmp8", 1.0},
            {"GIF 500x500 shown, ours/stb", "ours_shown/gif", "stb/gif", 1.0},
            {"GIF 500x500 decoded only, ours/stb", "ours/gif", "stb/gif", 1.0},
            {"JPEG 1920x1080, ours/libjpeg", "ours/jpeg", "libjpeg/jpeg", 1.1},
            {"JPEG 1920x1080, ours/stb", "ours/jpeg", "stb/jpeg", 0},
        };
        std::printf("\n");
        for (const auto& r : ratios) {
            const auto a = m_seconds.find(r.ours), b = m_seconds.find(r.other);
            if (a == m_seconds.end() || b == m_seconds.end()) continue;
            const double ratio = a->second / b->second;
            if (r.target > 0) {
                std::printf("%-38s %.2f (target <= %.1f: %s)\n", r.label, ratio, r.target,
                            ratio <= r.target ? "met" : "MISSED");
            } else {
                std::printf("%-38s %.2f\n", r.label, ratio);
            }
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    for (const char* name : {"bmp24", "bmp8", "gif", "jpeg"}) {
        benchmark::RegisterBenchmark((std::string("ours/") + name).c_str(), Ours, std::string(name))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("stb/") + name).c_str(), Stb, std::string(name))
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("ours_shown/gif", OursGifShown, std::string("gif"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("libjpeg/jpeg", PlainLibjpeg, std::string("jpeg"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    return 0;
}
