// decode-picture's output against an independent decoder (Pillow through the system Python)
// on the same files: small fixtures of each format and, when the shared corpus is there, a few
// real-world files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/decode/fixtures.h"
#include "tests/decode/reference_image.h"

namespace qrlogo {
namespace {

using test::Bytes;

struct Output {
    int status = -1;
    std::string out;
};

Output RunCommand(const std::string& command) {
    Output result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Tool() { return test::ProgramFolder() + "/decode-picture"; }

// The RGBA bytes after a PAM header, and the size it gives.
struct Rgba {
    int width = 0, height = 0;
    std::string bytes;
};

Rgba FromPam(const std::string& pam) {
    Rgba r;
    const auto end = pam.find("ENDHDR\n");
    if (end == std::string::npos ||
        std::sscanf(pam.c_str(), "P7\nWIDTH %d\nHEIGHT %d\n", &r.width, &r.height) != 2)
        return r;
    r.bytes = pam.substr(end + 7);
    return r;
}

Rgba FromPillow(const std::string& path) {
    const Output o = RunCommand(
        "/usr/bin/python3 -c \"import sys; from PIL import Image; im = "
        "Image.open(sys.argv[1]).convert('RGBA'); "
        "sys.stdout.buffer.write(b'P7\\nWIDTH %d\\nHEIGHT %d\\nENDHDR\\n' % im.size + "
        "im.tobytes())\" '" +
        path + "'");
    return o.status == 0 ? FromPam(o.out) : Rgba{};
}

std::string WriteTemp(const std::string& name, const Bytes& bytes) {
    const auto path = std::filesystem::temp_directory_path() / ("qrlogo-decode-" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

int LargestDifference(const std::string& a, const std::string& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        largest = std::max(
            largest, std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])));
    }
    return largest;
}

TEST(DecodeTool, AgreesWithPillow) {
    if (std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
        GTEST_SKIP() << "no Pillow";
    std::vector<std::array<std::uint8_t, 4>> table;
    for (int i = 0; i < 256; ++i) {
        table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3),
                         static_cast<std::uint8_t>(255 - i), 0});
    }
    const auto ramp = [](std::size_t n, int step) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = static_cast<std::uint8_t>(i * static_cast<std::size_t>(step));
        return b;
    };
    const auto rows = [&ramp](int count, std::size_t length) {
        std::vector<Bytes> r;
        for (int y = 0; y < count; ++y) r.push_back(ramp(length, 7 + y));
        return r;
    };
    Bytes palette = ramp(768, 5);
    std::vector<std::array<std::uint8_t, 3>> gifTable;
    for (int i = 0; i < 256; ++i)
        gifTable.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i ^ 0x5A), 9});
    Bytes rgb = ramp(21 * 13 * 3, 3);
    struct Case {
        std::string name;
        Bytes file;
        int tolerance = 0;
    };
    std::vector<Case> cases = {
        {"1bpp.bmp", test::MakeBmp({.width = 13,
                                    .height = 5,
                                    .bits = 1,
                                    .table = {table[10], table[200]},
                                    .rows = rows(5, 2)})},
        {"4bpp.bmp", test::MakeBmp({.width = 7,
                                    .height = 3,
                                    .bits = 4,
                                    .table = {table.begin(), table.begin() + 16},
                                    .rows = rows(3, 4)})},
        {"8bpp.bmp",
         test::MakeBmp({.width = 9, .height = 4, .bits = 8, .table = table, .rows = rows(4, 9)})},
        {"24bpp.bmp", test::MakeBmp({.width = 5, .height = 3, .bits = 24, .rows = rows(3, 15)})},
        {"32bpp.bmp", test::MakeBmp({.width = 3, .height = 3, .bits = 32, .rows = rows(3, 12)})},
        {"v5 header.bmp", test::MakeBmp({.width = 6,
                                         .height = 2,
                                         .bits = 8,
                                         .infoSize = 124,
                                         .table = table,
                                         .rows = rows(2, 6)})},
        {"8bit.pcx", test::MakePcx(5, 8, 1, 11, 4, 12, rows(4, 12), palette)},
        {"1bit.pcx", test::MakePcx(3, 1, 1, 19, 3, 4, rows(3, 4), {})},
        {"still.gif", test::MakeGif({.width = 17,
                                     .height = 9,
                                     .globalTable = gifTable,
                                     .frames = {{.width = 17,
                                                 .height = 9,
                                                 .indices = ramp(153, 11),
                                                 .interlaced = true}}})},
        {"masked.ico",
         test::MakeIconFile(1,
                            {{5, 3, 0,
                              test::MakeIconDib(5, 3, 24, {}, rows(3, 15),
                                                {{0b1010'0000}, {0b0100'0000}, {0b0001'1000}})}})},
        {"colour.jpg", test::MakeJpeg(21, 13, 3, rgb), 2},
        {"grey.jpg", test::MakeJpeg(21, 13, 1, Bytes(rgb.begin(), rgb.begin() + 21 * 13)), 2},
    };
    const std::string corpus = test::CorpusFolder();
    if (!corpus.empty()) {
        for (const char* file : {"bmp/bmpsuite/g/pal4.bmp", "bmp/bmpsuite/g/rgb24.bmp",
                                 "jpeg/pillow/hopper.jpg", "pcx/pillow/odd_stride.pcx",
                                 "gif/giflib/treescap-interlaced.gif", "ico/pillow/hopper.ico"}) {
            std::ifstream in(corpus + "/" + file, std::ios::binary);
            cases.push_back(
                {file, Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
                 std::string_view(file).starts_with("jpeg") ? 2 : 0});
        }
    }
    for (const Case& c : cases) {
        std::string tempName = c.name;
        std::replace(tempName.begin(), tempName.end(), '/', '-');
        const std::string path = WriteTemp(tempName, c.file);
        const Output ours = RunCommand("'" + Tool() + "' --box '" + path + "'");
        const Rgba reference = FromPillow(path);
        std::filesystem::remove(path);
        ASSERT_EQ(ours.status, 0) << "case: " << c.name;
        const Rgba decoded = FromPam(ours.out);
        ASSERT_GT(reference.width, 0) << "case: " << c.name << ": Pillow gave no picture";
        EXPECT_EQ(decoded.width, reference.width) << "case: " << c.name;
        EXPECT_EQ(decoded.height, reference.height) << "case: " << c.name;
        ASSERT_EQ(decoded.bytes.size(), reference.bytes.size()) << "case: " << c.name;
        EXPECT_LE(LargestDifference(decoded.bytes, reference.bytes), c.tolerance)
            << "case: " << c.name;
    }
}

TEST(DecodeTool, SaysNoPictureAndFailsForOtherFiles) {
    const std::string path = WriteTemp("picture.png", test::MakePng(1, 1, {1, 2, 3, 4}));
    const Output o = RunCommand("'" + Tool() + "' --box '" + path + "' 2>&1");
    std::filesystem::remove(path);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "no picture\n");
}

}  // namespace
}  // namespace qrlogo
